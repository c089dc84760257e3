#include "chosen_file_host.h"

#include <utility>

namespace varnholt {

ChosenFileHost::ChosenFileHost(RunHost &host, std::string path)
    : m_host(host)
    , m_path(std::move(path))
{
}

std::optional<std::string> ChosenFileHost::chooseFile(const std::string &, const std::string &)
{
    return m_path;
}

ScreenPoint ChosenFileHost::windowTopLeft() const { return m_host.windowTopLeft(); }

void ChosenFileHost::notice(const std::string &text) { m_host.notice(text); }

void ChosenFileHost::placedNotice(const std::string &text, ScreenPoint at)
{
    m_host.placedNotice(text, at);
}

void ChosenFileHost::placedError(const std::string &text, ScreenPoint at)
{
    m_host.placedError(text, at);
}

} // namespace varnholt
