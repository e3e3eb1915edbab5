#pragma once
// A private file server sharing a temporary directory with guest access on
// 127.0.0.1, for tests that check what Windows clients of a share see. The
// server runs in the foreground as a child of the test, in its own process
// group, with every file it keeps (state, locks, logs) inside the temporary
// directory; it is stopped when the object goes. Its standard input is a
// pipe held by the test, so a test that dies takes the server with it.
//
// When the server is not installed or does not come up, available() is
// false and reason() says why; tests then skip, saying so.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ProgramRun.h"
#include "TempDir.h"

namespace tovtest {

class SambaServer {
 public:
  // `shareOptions`: more smb.conf lines for the share.
  explicit SambaServer(std::string shareOptions = {}) : shareOptions_(std::move(shareOptions)) {
    server_ = findProgram("smbd");
    client_ = findProgram("smbclient");
    if (server_.empty() || client_.empty()) {
      reason_ = "smbd or smbclient is not installed (Debian packages samba, samba-vfs-modules, smbclient)";
      return;
    }
    share_ = dir_.path() / "share";
    for (const char* sub : {"share", "state", "lock", "pid", "cache", "private", "ncalrpc", "log"}) {
      std::filesystem::create_directory(dir_.path() / sub);
    }
    for (int attempt = 0; attempt < 3 && !available(); ++attempt) start();
  }
  ~SambaServer() { stop(); }
  SambaServer(const SambaServer&) = delete;
  SambaServer& operator=(const SambaServer&) = delete;

  bool available() const { return pid_ > 0; }
  const std::string& reason() const { return reason_; }
  // The shared directory, as this side sees it.
  const std::filesystem::path& share() const { return share_; }

  // Runs smbclient commands (separated by ";") against the share; the
  // output, or what went wrong, comes back in `run.output`.
  ProgramRun client(const std::string& commands) const {
    ProgramRunOptions options;
    options.withStdout = true;
    options.directory = dir_.path().string();  // where get and put take local names
    options.env = {"TZ=UTC"};
    return runProgram(client_, {"//127.0.0.1/share", "-p", std::to_string(port_), "-N", "-s", (dir_.path() / "client.conf").string(),
                                "-c", commands},
                      options);
  }

  // Local files for put and get, next to (not inside) the share.
  std::filesystem::path local(const std::string& name) const { return dir_.path() / name; }

 private:
  static std::string findProgram(const std::string& name) {
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    path += ":/usr/sbin:/usr/bin:/sbin";
    std::size_t start = 0;
    while (start <= path.size()) {
      const std::size_t end = std::min(path.find(':', start), path.size());
      const std::filesystem::path candidate = std::filesystem::path(path.substr(start, end - start)) / name;
      if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate.string();
      start = end + 1;
    }
    return {};
  }

  // A port nobody listens on now (the kernel's choice of a free one).
  static int freePort() {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
      port = ntohs(addr.sin_port);
    }
    close(s);
    return port;
  }

  static bool accepts(int port) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    close(s);
    return ok;
  }

  void writeConfig() const {
    const std::string d = dir_.path().string();
    const passwd* me = getpwuid(geteuid());
    std::ofstream conf(dir_.path() / "smb.conf");
    conf << "[global]\n"
         << "  smb ports = " << port_ << "\n"
         << "  interfaces = 127.0.0.1\n  bind interfaces only = yes\n  disable netbios = yes\n"
         << "  server role = standalone server\n  map to guest = bad user\n"
         << "  guest account = " << (me ? me->pw_name : "nobody") << "\n"
         << "  private dir = " << d << "/private\n  lock directory = " << d << "/lock\n"
         << "  state directory = " << d << "/state\n  cache directory = " << d << "/cache\n"
         << "  pid directory = " << d << "/pid\n  ncalrpc dir = " << d << "/ncalrpc\n"
         << "  log file = " << d << "/log/smbd.log\n  log level = 1\n  max log size = 0\n"
         << "  load printers = no\n  printing = bsd\n  printcap name = /dev/null\n  disable spoolss = yes\n"
         << "[share]\n"
         << "  path = " << share_.string() << "\n"
         << "  guest ok = yes\n  guest only = yes\n  read only = no\n"
         << "  vfs objects = streams_xattr\n  store dos attributes = yes\n"
         << shareOptions_;
    std::ofstream client(dir_.path() / "client.conf");
    client << "[global]\n  client min protocol = SMB2\n";
  }

  void start() {
    port_ = freePort();
    if (port_ == 0) {
      reason_ = "no free port on 127.0.0.1";
      return;
    }
    writeConfig();
    int in[2];
    if (pipe2(in, O_CLOEXEC) != 0) return;
    const std::string conf = (dir_.path() / "smb.conf").string();
    const std::string log = (dir_.path() / "log" / "stdout").string();
    const pid_t pid = fork();
    if (pid == 0) {
      setsid();  // its own group: the stop reaches the workers it forks
      dup2(in[0], 0);
      const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
      dup2(out, 1);
      dup2(out, 2);
      execl(server_.c_str(), server_.c_str(), "--foreground", "--no-process-group", "-s", conf.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    if (pid < 0) {
      close(in[1]);
      return;
    }
    stdin_ = in[1];
    pid_ = pid;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        close(stdin_);
        stdin_ = -1;
        reason_ = "smbd exited at start: " + lastLines();
        return;
      }
      if (accepts(port_)) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    reason_ = "smbd did not listen on 127.0.0.1:" + std::to_string(port_) + ": " + lastLines();
    stop();
  }

  void stop() {
    if (pid_ <= 0) return;
    close(stdin_);
    stdin_ = -1;
    kill(-pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = 0;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (pid_ > 0) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = 0;
  }

  std::string lastLines() const {
    std::string text = readBytes(dir_.path() / "log" / "stdout") + readBytes(dir_.path() / "log" / "smbd.log");
    return text.size() > 1500 ? text.substr(text.size() - 1500) : text;
  }

  std::string shareOptions_;
  TempDir dir_{"samba"};
  std::filesystem::path share_;
  std::string server_;
  std::string client_;
  int port_ = 0;
  pid_t pid_ = 0;
  int stdin_ = -1;
  std::string reason_;
};

}  // namespace tovtest
