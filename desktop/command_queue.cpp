#include "command_queue.h"

#include <utility>

namespace varnholt {

namespace {

    /// Marks a run while it lives.
    class Running {
    public:
        explicit Running(bool &running)
            : m_running(running)
        {
            m_running = true;
        }
        ~Running() { m_running = false; }
        Running(const Running &) = delete;
        Running &operator=(const Running &) = delete;

    private:
        bool &m_running;
    };

} // namespace

void CommandQueue::addFiles(std::vector<std::string> paths)
{
    for (std::string &path : paths)
        m_files.push_back(std::move(path));
}

bool CommandQueue::startOpening() noexcept
{
    if (m_opening || m_running || m_files.empty())
        return false;
    m_opening = true;
    return true;
}

bool CommandQueue::runCommand(const std::function<void()> &command)
{
    if (m_running)
        return false;
    const Running running(m_running);
    command();
    return true;
}

void CommandQueue::openWaitingFiles(const std::function<void(const std::string &)> &load)
{
    m_opening = false;
    while (!m_running && !m_files.empty()) {
        const std::string path = std::move(m_files.front());
        m_files.pop_front();
        const Running running(m_running);
        load(path);
    }
}

} // namespace varnholt
