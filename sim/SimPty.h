#pragma once
// The pseudo-terminal that stands for the serial cable: the console opens the
// slave side as its port, the simulator works the master side.

#include <string>
#include <termios.h>

namespace sim {

class Pty {
public:
    Pty() = default;
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Creates the pair in raw mode; false with a reason when the system refuses.
    bool Open(std::string& error);

    const std::string& SlavePath() const { return slavePath_; }
    int MasterFd() const { return master_; }

    // The speed, parity and data bits the console last set on its side, as a
    // settings string ("9600,E,7,1"); empty when they cannot be read.
    std::string SlaveSettings() const;

private:
    int master_ = -1;
    // Held open for the simulator's whole life: without it the master would
    // see a hang-up every time the console closes its port to reopen it.
    int slave_ = -1;
    std::string slavePath_;
};

// The settings string that a terminal configuration stands for.
std::string SettingsFromTermios(const termios& t);

// Opens the slave of the master (non-blocking, no controlling terminal) and
// names a path that opens that very slave. Where /dev/pts is not the
// instance /dev/ptmx made the pair in, the name ptsname gives belongs to
// another process's terminal; the path is then this process's own handle
// on the slave (/proc/<pid>/fd/<n>), valid while the slave stays open.
// -1 with errno set when the system refuses.
int OpenOwnSlave(int master, std::string& path);

} // namespace sim
