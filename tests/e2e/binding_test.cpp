// The library binds the transport from its own folder, and only from there.
// Each case loads a copy of the library in a child process, so the state of
// this test process stays out of it.
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/sim_fixture.h"
#include "server/families.h"

namespace fs = std::filesystem;

namespace {

struct ChildResult {
    int exit_code = -1;
    std::string err;
};

// Runs `body` in a child with its standard error captured.
template <typename Body>
ChildResult inChild(Body body) {
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipe_fds[1], STDERR_FILENO);
        ::close(pipe_fds[0]);
        ::_exit(body());
    }
    ::close(pipe_fds[1]);
    ChildResult result;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipe_fds[0], buffer, sizeof buffer)) > 0;) result.err.append(buffer, n);
    ::close(pipe_fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

void copyLibrary(const std::string& name, const fs::path& to) {
    fs::copy_file(fs::path(KOVALINK_OUT_DIR) / name, to / name, fs::copy_options::overwrite_existing);
}

// Loads the library from `folder`, then checks what its exports return.
int loadAndCall(const fs::path& folder, int expected_open) {
    void* lib = ::dlopen((folder / "libKovalinkHID.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (lib == nullptr) return 10;
    using Open = int (*)(int, int, int);
    using Beep = int (*)(int, unsigned char);
    using Last = int (*)();
    auto open = reinterpret_cast<Open>(::dlsym(lib, "rf_init_com"));
    auto beep = reinterpret_cast<Beep>(::dlsym(lib, "rf_beep"));
    auto last = reinterpret_cast<Last>(::dlsym(lib, "rf_GetErrorMessage"));
    if (!open || !beep || !last) return 11;
    if (open(0, 0x1A86, 0xE010) != expected_open) return 12;
    const int beeped = beep(0, 1);
    if (expected_open == 1 && (beeped != 1 || last() != 0)) return 13;
    if (expected_open == 0 && beeped != 0) return 14;
    return 0;
}

TEST(Binding, WithoutTheTransportBesideItEveryCommandFailsAndTheFailureIsSaidOnce) {
    kvtest::TempDir folder;
    copyLibrary("libKovalinkHID.so", folder.path());
    const ChildResult child = inChild([&] { return loadAndCall(folder.path(), 1); });
    EXPECT_EQ(child.exit_code, 0);
    EXPECT_EQ(child.err, "Load TavoHID.dll failed !\n");
}

TEST(Binding, TheTransportIsTakenFromTheLibrarysOwnFolder) {
    kvtest::TempDir folder;
    copyLibrary("libKovalinkHID.so", folder.path());
    copyLibrary("libTavoHID.so", folder.path());
    kvtest::TempDir devices;
    ::setenv("TAVOHID_VIRTUAL_DIR", devices.path().c_str(), 1);
    sim::Reader reader;
    sim::ServerOptions options;
    options.dir = devices.path();
    sim::DeviceServer server(reader, sim::fullFirmware(), options);
    std::string why;
    ASSERT_TRUE(server.start(&why)) << why;
    const ChildResult child = inChild([&] { return loadAndCall(folder.path(), 0); });
    EXPECT_EQ(child.exit_code, 0);
    EXPECT_EQ(child.err, "");
}

}  // namespace
