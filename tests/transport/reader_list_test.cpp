// The reader list programs get from the transport: every candidate in the
// transport's search order, with why it would be passed over.
#include "reader_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>

#include "fake_sysfs.h"

namespace {

using tavotest::kReaderUevent;
namespace fs = std::filesystem;

class ReaderList : public tavotest::FakeSysfs {
protected:
    fs::path sockets;

    void SetUp() override {
        FakeSysfs::SetUp();
        sockets = root / "virtual";
        fs::create_directories(sockets);
        fs::permissions(sockets, fs::perms::owner_all);
        if (const char* old = std::getenv("TAVOHID_VIRTUAL_DIR")) saved_ = old;
        ::setenv("TAVOHID_VIRTUAL_DIR", sockets.c_str(), 1);
    }
    void TearDown() override {
        if (saved_) ::setenv("TAVOHID_VIRTUAL_DIR", saved_->c_str(), 1);
        else ::unsetenv("TAVOHID_VIRTUAL_DIR");
        FakeSysfs::TearDown();
    }

    // A file that stands in for a node or socket this user may open.
    static void touch(const fs::path& file) { std::ofstream(file).put('\0'); }

private:
    std::optional<std::string> saved_;
};

TEST_F(ReaderList, HidrawThenVirtualEachWithWhyItWouldBePassedOver) {
    addNode("hidraw4", kReaderUevent);  // its node is missing
    addNode("hidraw2", uevent("0003:0000046D:0000C52B", "mouse"));
    touch(root / "dev/hidraw2");
    addNode("hidraw1", "HID_NAME=no id\n");
    touch(sockets / "1a86-e010-reader0.sock");
    touch(sockets / "reader.sock");
    touch(sockets / "notes.txt");

    const tavo::ReaderList list = tavo::listReaders(sysfs, dev);
    EXPECT_EQ(list.virtual_dir, sockets.string());
    EXPECT_EQ(list.virtual_dir_ignored, "");
    ASSERT_EQ(list.candidates.size(), 5u);

    const tavo::ReaderCandidate& mouse = list.candidates[0];
    EXPECT_EQ(mouse.path, dev + "/hidraw2");
    EXPECT_TRUE(mouse.ids_known);
    EXPECT_EQ(mouse.vendor_id, 0x046D);
    EXPECT_EQ(mouse.name, "mouse");
    EXPECT_EQ(mouse.passed_over, "");

    const tavo::ReaderCandidate& missing = list.candidates[1];
    EXPECT_EQ(missing.path, dev + "/hidraw4");
    EXPECT_EQ(missing.vendor_id, 0x1A86);
    EXPECT_EQ(missing.product_id, 0xE010);
    EXPECT_EQ(missing.passed_over, "No such file or directory");

    const tavo::ReaderCandidate& unknown = list.candidates[2];
    EXPECT_EQ(unknown.path, dev + "/hidraw1");
    EXPECT_FALSE(unknown.ids_known);
    EXPECT_EQ(unknown.passed_over, "uevent has no valid HID_ID");

    const tavo::ReaderCandidate& simulated = list.candidates[3];
    EXPECT_EQ(simulated.backend, "virtual");
    EXPECT_EQ(simulated.path, (sockets / "1a86-e010-reader0.sock").string());
    EXPECT_EQ(simulated.name, "reader0");
    EXPECT_EQ(simulated.passed_over, "");

    EXPECT_EQ(list.candidates[4].path, (sockets / "reader.sock").string());
    EXPECT_EQ(list.candidates[4].passed_over, "name is not <vid>-<pid>-<name>.sock");
}

TEST_F(ReaderList, AFolderOthersMayWriteIsNotSearched) {
    touch(sockets / "1a86-e010-reader0.sock");
    fs::permissions(sockets, fs::perms::others_write, fs::perm_options::add);
    const tavo::ReaderList list = tavo::listReaders(sysfs, dev);
    EXPECT_TRUE(list.candidates.empty());
    EXPECT_EQ(list.virtual_dir_ignored, sockets.string() + " is writable by others");
}

// A group member could plant a reader that sorts first and be handed keys.
TEST_F(ReaderList, AFolderItsGroupMayWriteIsNotSearched) {
    touch(sockets / "0000-0000-planted.sock");
    fs::permissions(sockets, fs::perms::group_write, fs::perm_options::add);
    const tavo::ReaderList list = tavo::listReaders(sysfs, dev);
    EXPECT_TRUE(list.candidates.empty());
    EXPECT_EQ(list.virtual_dir_ignored, sockets.string() + " is writable by its group");
}

TEST_F(ReaderList, AFolderThatIsASymlinkIsNotSearched) {
    touch(sockets / "1a86-e010-reader0.sock");
    const fs::path link = root / "link";
    fs::create_directory_symlink(sockets, link);
    ::setenv("TAVOHID_VIRTUAL_DIR", link.c_str(), 1);
    const tavo::ReaderList list = tavo::listReaders(sysfs, dev);
    EXPECT_TRUE(list.candidates.empty());
    EXPECT_EQ(list.virtual_dir_ignored, link.string() + " is a symlink");
}

TEST_F(ReaderList, AnEmptyFolderVariableDisablesVirtualReaders) {
    ::setenv("TAVOHID_VIRTUAL_DIR", "", 1);
    const tavo::ReaderList list = tavo::listReaders(sysfs, dev);
    EXPECT_EQ(list.virtual_dir, "");
    EXPECT_EQ(list.virtual_dir_ignored, "");
}

TEST(VirtualFileName, IdsAsFourLowerCaseHexDigits) {
    EXPECT_EQ(tavo::virtualDeviceFileName(0x1A86, 0xE010, "reader0"), "1a86-e010-reader0.sock");
    EXPECT_EQ(tavo::virtualDeviceFileName(0x0001, 0x00AB, "x"), "0001-00ab-x.sock");
}

}  // namespace
