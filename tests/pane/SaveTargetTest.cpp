// What a save does to the file it replaces, on real files: links, permissions, owners, hard
// links, special files and long names.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "PaneTestSupport.h"
#include "support/RecordingUi.h"
#include "headless/MemoryProfileStore.h"

namespace tessary::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kText = "{\nactor BODY:1\n{\n}\n}\n";
const std::string kSaved = WithCrLf("{\nactor BODY:1\n    {\n    }\n}\n");
constexpr uid_t kNobody = 65534;

class SaveTargetTest : public ::testing::Test {
  protected:
    RecordingUi ui;
    MemoryProfileStore store;
    FigureFile file{ui, store};
    ScratchDir dir;

    void SetUp() override { SetTree(file, kText); }

    struct stat Stat(const std::string& path) {
        struct stat info {};
        EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
        return info;
    }

    // The names in the scratch folder: a failed or finished save leaves no temporary file.
    std::vector<std::string> Names() {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Runs `save` in a child process as the user "nobody" when the test runs as root, so that
// permissions apply; returns what it returned.
bool AsOrdinaryUser(const std::function<bool()>& save) {
    if (::geteuid() != 0) {
        return save();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        ::_exit(dropped ? (save() ? 1 : 0) : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_NE(WEXITSTATUS(status), 2) << "could not become an ordinary user";
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

TEST_F(SaveTargetTest, SymbolicLinksAreFollowedAndStay) {
    fs::create_directory(dir.Path() / "real");
    const std::string real = dir.File("real/body.cr2");
    WriteBytes(real, "old\n");
    // A relative link to a relative link: each is resolved from its own folder.
    fs::create_symlink("real/body.cr2", dir.Path() / "first.cr2");
    fs::create_symlink("first.cr2", dir.Path() / "link.cr2");
    ASSERT_TRUE(file.WriteTo(dir.File("link.cr2")));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "link.cr2"));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "first.cr2"));
    EXPECT_EQ(ReadBytes(real), kSaved);

    // A link to a file not yet written creates that file.
    fs::create_symlink("real/new.cr2", dir.Path() / "dangling.cr2");
    ASSERT_TRUE(file.WriteTo(dir.File("dangling.cr2")));
    EXPECT_TRUE(fs::is_symlink(dir.Path() / "dangling.cr2"));
    EXPECT_EQ(ReadBytes(dir.File("real/new.cr2")), kSaved);

    // A loop is refused.
    fs::create_symlink("loop-b.cr2", dir.Path() / "loop-a.cr2");
    fs::create_symlink("loop-a.cr2", dir.Path() / "loop-b.cr2");
    EXPECT_FALSE(file.WriteTo(dir.File("loop-a.cr2")));
    EXPECT_EQ(Names(), (std::vector<std::string>{"dangling.cr2", "first.cr2", "link.cr2",
                                                 "loop-a.cr2", "loop-b.cr2", "real"}));
    EXPECT_TRUE(ui.Messages().size() == 1u);
}

TEST_F(SaveTargetTest, TargetsThatAreNotRegularFilesAreRefused) {
    const std::string fifo = dir.File("pipe.cr2");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string folder = dir.File("folder.cr2");
    fs::create_directory(folder);
    const std::string socketPath = dir.File("socket.cr2");
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    // A link to a FIFO is the FIFO.
    fs::create_symlink("pipe.cr2", dir.Path() / "to-pipe.cr2");

    for (const std::string& target : {fifo, folder, socketPath, dir.File("to-pipe.cr2")}) {
        EXPECT_FALSE(file.WriteTo(target)) << target;
    }
    ::close(sock);
    EXPECT_TRUE(S_ISFIFO(Stat(fifo).st_mode));
    EXPECT_TRUE(S_ISDIR(Stat(folder).st_mode));
    EXPECT_TRUE(S_ISSOCK(Stat(socketPath).st_mode));
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"folder.cr2", "pipe.cr2", "socket.cr2", "to-pipe.cr2"}));
    EXPECT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(ui.Messages().front(), "message [FileOpenError] Error opening file. (!)");
}

TEST_F(SaveTargetTest, ReadOnlyFilesAreRefusedAndWritableOnesKeepTheirMode) {
    // The folder is everybody's, so that only the file's own mode can stop the save.
    fs::permissions(dir.Path(), fs::perms::all);
    const std::string readOnly = dir.File("read-only.cr2");
    WriteBytes(readOnly, "old\n");
    ::chmod(readOnly.c_str(), 0444);
    const std::string shared = dir.File("shared.cr2");
    WriteBytes(shared, "old\n");
    ::chmod(shared.c_str(), 0666);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(readOnly.c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown(shared.c_str(), kNobody, kNobody), 0);
    }
    EXPECT_FALSE(AsOrdinaryUser([&] { return file.WriteTo(readOnly); }));
    EXPECT_EQ(ReadBytes(readOnly), "old\n");
    EXPECT_EQ(Stat(readOnly).st_mode & 07777, 0444u);

    EXPECT_TRUE(AsOrdinaryUser([&] { return file.WriteTo(shared); }));
    EXPECT_EQ(ReadBytes(shared), kSaved);
    EXPECT_EQ(Stat(shared).st_mode & 07777, 0666u);

    const std::string secret = dir.File("secret.cr2");
    WriteBytes(secret, "old\n");
    ::chmod(secret.c_str(), 0600);
    ASSERT_TRUE(file.WriteTo(secret));
    EXPECT_EQ(Stat(secret).st_mode & 07777, 0600u);

    const mode_t mask = ::umask(022);
    ASSERT_TRUE(file.WriteTo(dir.File("new.cr2")));
    ::umask(mask);
    EXPECT_EQ(Stat(dir.File("new.cr2")).st_mode & 07777, 0644u);
    EXPECT_EQ(Names(),
              (std::vector<std::string>{"new.cr2", "read-only.cr2", "secret.cr2", "shared.cr2"}));
}

TEST_F(SaveTargetTest, TheOwnerAndGroupOfAnotherUsersFileAreKept) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root may save another user's file and give it back";
    }
    const std::string theirs = dir.File("theirs.cr2");
    WriteBytes(theirs, "old\n");
    ASSERT_EQ(::chown(theirs.c_str(), kNobody, kNobody), 0);
    ::chmod(theirs.c_str(), 0640);
    ASSERT_TRUE(file.WriteTo(theirs));
    const struct stat info = Stat(theirs);
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_gid, kNobody);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadBytes(theirs), kSaved);
}

TEST_F(SaveTargetTest, EveryNameOfAHardLinkedFileGetsTheNewText) {
    const std::string first = dir.File("first.cr2");
    const std::string second = dir.File("second.cr2");
    // Longer than the new text, so that the copy must also cut the file short.
    WriteBytes(first, std::string(100000, 'x'));
    fs::create_hard_link(first, second);
    const ino_t inode = Stat(first).st_ino;
    ASSERT_TRUE(file.WriteTo(first));
    EXPECT_EQ(ReadBytes(first), kSaved);
    EXPECT_EQ(ReadBytes(second), kSaved);
    EXPECT_EQ(Stat(first).st_ino, inode);
    EXPECT_EQ(Stat(second).st_nlink, 2u);
    EXPECT_EQ(Names(), (std::vector<std::string>{"first.cr2", "second.cr2"}));
}

TEST_F(SaveTargetTest, NamesUpToTheFileSystemsLimitCanBeSaved) {
    for (std::size_t length : {250u, 255u}) {
        const std::string name = std::string(length - 4, 'n') + ".cr2";
        WriteBytes(dir.File(name), "old\n");
        EXPECT_TRUE(file.WriteTo(dir.File(name))) << length;
        EXPECT_EQ(ReadBytes(dir.File(name)), kSaved) << length;
        fs::remove(dir.File(name));
    }
    EXPECT_TRUE(ui.Messages().empty());
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}

}  // namespace
}  // namespace tessary::test
