#pragma once
#include <string>

namespace unitsim {

// The unit's end of a pseudo-terminal. The tool opens the slave side as its serial port. The
// slave stays open here as well: without that, the master reads EIO and hangs up every time
// the tool closes the port, and a reopened port would find a dead line.
class Pty
{
public:
    Pty() = default;
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool open(std::string &error);
    int master() const { return master_; }
    const std::string &slavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Points path at target, replacing an earlier symlink there; refuses to replace anything else.
bool makeLink(const std::string &target, const std::string &path, std::string &error);
// Removes path only if it still points at target, so a newer simulator's link survives.
void removeLink(const std::string &target, const std::string &path);

}  // namespace unitsim
