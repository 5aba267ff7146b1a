#include "pty.h"
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace unitsim {

namespace {

std::string failed(const char *what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

}  // namespace

Pty::~Pty()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool Pty::open(std::string &error)
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        error = failed("posix_openpt");
        return false;
    }
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = failed("grantpt/unlockpt");
        return false;
    }
    const char *name = ::ptsname(master_);
    if (!name) {
        error = failed("ptsname");
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error = failed(name);
        return false;
    }
    // A line, not a terminal: no echo of requests back to the tool, no line editing, no
    // translation of bytes such as 0x03 or 0x0D.
    termios settings{};
    if (::tcgetattr(slave_, &settings) != 0) {
        error = failed("tcgetattr");
        return false;
    }
    ::cfmakeraw(&settings);
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    settings.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(slave_, TCSANOW, &settings) != 0) {
        error = failed("tcsetattr");
        return false;
    }
    const int flags = ::fcntl(master_, F_GETFL);
    ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    return true;
}

bool makeLink(const std::string &target, const std::string &path, std::string &error)
{
    struct stat info{};
    if (::lstat(path.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error = path + " exists and is not a symlink";
            return false;
        }
        ::unlink(path.c_str());
    }
    if (::symlink(target.c_str(), path.c_str()) != 0) {
        error = failed(path.c_str());
        return false;
    }
    return true;
}

void removeLink(const std::string &target, const std::string &path)
{
    char buffer[4096];
    const ssize_t size = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (size < 0)
        return;
    buffer[size] = '\0';
    if (target == buffer)
        ::unlink(path.c_str());
}

}  // namespace unitsim
