// The application module ModMain: text helpers, the world grid with its reader, the wall builder.
#pragma once
#include "app/text_helpers.h"
#include "app/walls.h"
#include "app/world_map.h"
