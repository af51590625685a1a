#include "app/frmGame.h"

frmGame::frmGame() : rt::Form("frmGame") {
    Caption("Quorvane -- Full Screen");
    ClientSize(300, 200);
    StartUpPosition(rt::StartPosition::WindowsDefault);
}
