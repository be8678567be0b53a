#pragma once

#include "tools/simboard/BoardPort.h"

#include <string>

namespace velmora::simboard {

// A plain pseudo-terminal. Its slave path changes with every plug-in unless a link path is
// given: then that symbolic link always names the current slave, so the board comes back under
// the same name. DTR and RTS requests are refused by the pseudo-terminal and never seen.
class PtyPort : public BoardPort {
public:
    explicit PtyPort(std::string linkPath = {});
    ~PtyPort() override;

    std::string devicePath() const override;
    int boardSide() const override { return master_; }
    void unplug() override;
    void plugIn() override;
    bool observesModemLines() const override { return false; }

private:
    std::string linkPath_;
    std::string slavePath_;
    int master_ = -1;
};

} // namespace velmora::simboard
