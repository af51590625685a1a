#include "platform/runtime/memory.h"

#include <gtest/gtest.h>

#include <string>

#include "tempdir.h"

namespace {

// A folder laid out as "/" is for the control group files: proc/self/cgroup,
// proc/self/mountinfo and the groups' folders below their mount points.
class CgroupTree {
public:
    void Groups(const std::string& text) { dir_.Write("proc/self/cgroup", text); }
    void Mounts(const std::string& text) { dir_.Write("proc/self/mountinfo", text); }
    // Writes `value` to the file `name` of the group folder `folder` (absolute, as mounted).
    void Value(const std::string& folder, const std::string& name, const std::string& value) {
        dir_.Write(folder.substr(1) + "/" + name, value);
    }
    // A version 2 group's limit and use.
    void V2(const std::string& folder, const std::string& max, const std::string& current) {
        Value(folder, "memory.max", max + "\n");
        Value(folder, "memory.current", current + "\n");
    }
    // A version 1 group's limit and use.
    void V1(const std::string& folder, const std::string& limit, const std::string& usage) {
        Value(folder, "memory.limit_in_bytes", limit + "\n");
        Value(folder, "memory.usage_in_bytes", usage + "\n");
    }
    uint64_t Left() const { return rt::CgroupMemoryLeft(dir_.Path()); }

private:
    TempDir dir_;
};

constexpr uint64_t kNone = rt::kNoMemoryLimit;

// Mount table lines as the kernel writes them.
const char* const kV2Mount = "30 23 0:26 / /sys/fs/cgroup rw,nosuid,nodev,noexec,relatime shared:4 - cgroup2 cgroup2 "
                             "rw,nsdelegate,memory_recursiveprot\n";
const char* const kV1Mounts =
    "22 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
    "31 23 0:28 / /sys/fs/cgroup ro,nosuid - tmpfs tmpfs ro,mode=755\n"
    "32 31 0:29 / /sys/fs/cgroup/cpu,cpuacct rw,nosuid - cgroup cgroup rw,cpu,cpuacct\n"
    "35 31 0:32 / /sys/fs/cgroup/memory rw,nosuid shared:9 - cgroup cgroup rw,memory\n";

}  // namespace

TEST(Cgroup, V2TheSmallestLeftAlongTheNestedPathWins) {
    CgroupTree t;
    t.Groups("0::/user.slice/run-7.scope\n");
    t.Mounts(kV2Mount);
    // The top group has no limit files; "max" does not limit.
    t.V2("/sys/fs/cgroup/user.slice", "1000000000", "400000000");
    t.V2("/sys/fs/cgroup/user.slice/run-7.scope", "max", "1000");
    EXPECT_EQ(t.Left(), 600000000u);
    // The process's own group, tighter.
    t.Value("/sys/fs/cgroup/user.slice/run-7.scope", "memory.max", "300000000\n");
    EXPECT_EQ(t.Left(), 299999000u);
    // Use beyond the limit leaves nothing.
    t.Value("/sys/fs/cgroup/user.slice/run-7.scope", "memory.current", "300004096\n");
    EXPECT_EQ(t.Left(), 0u);
}

TEST(Cgroup, V2WithoutLimitsOrFilesDoesNotLimit) {
    CgroupTree t;
    EXPECT_EQ(t.Left(), kNone);  // no proc folder at all
    t.Groups("0::/\n");
    t.Mounts(kV2Mount);
    EXPECT_EQ(t.Left(), kNone);  // the top group has no memory.max
    t.Groups("0::/a\n");
    t.V2("/sys/fs/cgroup/a", "max", "5000");
    EXPECT_EQ(t.Left(), kNone);
    t.Value("/sys/fs/cgroup/a", "memory.max", "8000\n");
    EXPECT_EQ(t.Left(), 3000u);
    // Not mounted (or mounted as another type): not read.
    t.Mounts("30 23 0:26 / /sys/fs/cgroup rw - tmpfs tmpfs rw\n");
    EXPECT_EQ(t.Left(), kNone);
}

TEST(Cgroup, V1MemoryHierarchyFoundThroughTheMountTable) {
    CgroupTree t;
    t.Groups("12:pids:/docker/abc\n4:memory:/docker/abc\n2:cpu,cpuacct:/docker/abc\n1:name=systemd:/docker/abc\n0::/\n");
    t.Mounts(kV1Mounts);
    // The kernel's "unlimited" in the parent, a limit in the process's own group.
    t.V1("/sys/fs/cgroup/memory/docker", "9223372036854771712", "7000000000");
    t.V1("/sys/fs/cgroup/memory/docker/abc", "2147483648", "147483648");
    EXPECT_EQ(t.Left(), 2000000000u);
    // The limits of the other controllers' folders are not the memory's.
    t.Value("/sys/fs/cgroup/cpu,cpuacct/docker/abc", "memory.limit_in_bytes", "1\n");
    EXPECT_EQ(t.Left(), 2000000000u);
    // Unlimited everywhere: no limit.
    t.Value("/sys/fs/cgroup/memory/docker/abc", "memory.limit_in_bytes", "9223372036854771712\n");
    EXPECT_EQ(t.Left(), kNone);
}

TEST(Cgroup, V1MountOfASubgroupAndPathsWithSpaces) {
    // A container that sees only its own group, mounted at a folder with a space in its name
    // (written \040 in the mount table).
    CgroupTree t;
    t.Groups("4:memory:/docker/abc/inner\n");
    t.Mounts("35 31 0:32 /docker/abc /sys/fs/cg\\040mem rw - cgroup cgroup rw,memory\n");
    t.V1("/sys/fs/cg mem", "5000", "1000");
    t.V1("/sys/fs/cg mem/inner", "9000", "2000");
    EXPECT_EQ(t.Left(), 4000u);
    // A mount that does not show the process's group is passed over.
    t.Mounts("35 31 0:32 /other /elsewhere rw - cgroup cgroup rw,memory\n"
             "36 31 0:32 /docker/abc /sys/fs/cg\\040mem rw - cgroup cgroup rw,memory\n");
    EXPECT_EQ(t.Left(), 4000u);
    t.Mounts("35 31 0:32 /other /sys/fs/cg\\040mem rw - cgroup cgroup rw,memory\n");
    EXPECT_EQ(t.Left(), kNone);
}

TEST(Cgroup, BothVersionsTheSmallerWins) {
    CgroupTree t;
    t.Groups("4:memory:/a\n0::/b\n");
    t.Mounts(std::string(kV1Mounts) + "41 31 0:38 / /sys/fs/cgroup/unified rw - cgroup2 cgroup2 rw\n");
    t.V1("/sys/fs/cgroup/memory/a", "10000", "1000");
    t.V2("/sys/fs/cgroup/unified/b", "8000", "1000");
    EXPECT_EQ(t.Left(), 7000u);
    t.Value("/sys/fs/cgroup/unified/b", "memory.max", "max\n");
    EXPECT_EQ(t.Left(), 9000u);
}

TEST(Cgroup, GarbageDoesNotLimit) {
    CgroupTree t;
    t.Groups("0::/g\n");
    t.Mounts(kV2Mount);
    t.Value("/sys/fs/cgroup/g", "memory.current", "100\n");
    for (const char* bad : {"", "\n", "12abc\n", "-5\n", "1 2\n", "0x100\n", "99999999999999999999999\n",
                            "18446744073709551615\n", "\x01\xff\n", "max max\n"}) {
        t.Value("/sys/fs/cgroup/g", "memory.max", bad);
        EXPECT_EQ(t.Left(), kNone) << bad;
    }
    // A number the usage cannot be read beside.
    t.V2("/sys/fs/cgroup/g", "1000", "lots");
    EXPECT_EQ(t.Left(), kNone);
    t.Value("/sys/fs/cgroup/g", "memory.current", "100\n");
    EXPECT_EQ(t.Left(), 900u);

    // Broken group and mount lines are passed over; paths that leave the mount are not followed.
    for (const char* groups : {"", "garbage\n", "0:\n", "0::\n", "0::g\n", "::::\n", "0::/../etc\n", "0::/g/../..\n"}) {
        t.Groups(groups);
        EXPECT_EQ(t.Left(), kNone) << groups;
    }
    t.Groups("0::/g\n");
    for (const char* mounts : {"", "\n", "30 23 0:26 / /sys/fs/cgroup rw - cgroup2\n", "- - - - - - - -\n",
                               "30 23 0:26 / /sys/fs/cgroup rw cgroup2 cgroup2 rw\n", "1 2 3 4 5 6 - cgroup2 x\n",
                               "30 23 0:26 /\\0 /sys/fs/cgroup\\777 rw - cgroup2 cgroup2 rw\n"}) {
        t.Mounts(mounts);
        EXPECT_EQ(t.Left(), kNone) << mounts;
    }
}
