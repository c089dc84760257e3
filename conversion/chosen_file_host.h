#pragma once

#include "run_host.h"

#include <string>

namespace varnholt {

/// A run host whose file dialog is answered with `path` without being shown, as
/// if the user had chosen it there; everything else goes to `host`, which must
/// outlive this one. A window uses it for files dropped on it or handed to the
/// program when it starts.
class ChosenFileHost : public RunHost {
public:
    ChosenFileHost(RunHost &host, std::string path);

    std::optional<std::string> chooseFile(
        const std::string &filter, const std::string &lastName) override;
    ScreenPoint windowTopLeft() const override;
    void notice(const std::string &text) override;
    void placedNotice(const std::string &text, ScreenPoint at) override;
    void placedError(const std::string &text, ScreenPoint at) override;

private:
    RunHost &m_host;
    std::string m_path;
};

} // namespace varnholt
