#include "load_command.h"

namespace varnholt {

namespace {

    /// Switches a numbering mode on while it lives, and off again however it ends.
    class ModeOn {
    public:
        explicit ModeOn(int &mode)
            : m_mode(mode)
        {
            m_mode = 1;
        }
        ~ModeOn() { m_mode = 0; }
        ModeOn(const ModeOn &) = delete;
        ModeOn &operator=(const ModeOn &) = delete;

    private:
        int &m_mode;
    };

} // namespace

std::vector<FilterEntry> filterEntries(std::string_view filter)
{
    std::vector<FilterEntry> entries;
    while (!filter.empty()) {
        const std::size_t bar = filter.find('|');
        const std::string_view description = filter.substr(0, bar);
        if (bar == std::string_view::npos) {
            entries.push_back({ description, description });
            break;
        }
        filter.remove_prefix(bar + 1);
        const std::size_t nextBar = filter.find('|');
        entries.push_back({ description, filter.substr(0, nextBar) });
        filter.remove_prefix(nextBar == std::string_view::npos ? filter.size() : nextBar + 1);
    }
    return entries;
}

std::string summaryMessage(int count, std::string_view outputName, int letterNumbers)
{
    std::string text = "Conversion completed (";
    text += std::to_string(count);
    text += " satellites)\n\nFile saved as ";
    text += outputName;
    if (letterNumbers > 0) {
        text += "\n\n";
        text += std::to_string(letterNumbers);
        text += letterNumbers == 1 ? " catalogue number" : " catalogue numbers";
        text += " above 99999 written in letter form (A0000 is 100000); a tracker that reads "
                "only digits needs \"Load with Five-Digit Numbers\".";
    }
    text += "\n\n\n";
    text.append(24, ' ');
    text += "Click OK to SAVE and EXIT.";
    return text;
}

Point summaryPlace(Point window) { return { window.x + 75, window.y + 65 }; }

Point wrongHeaderPlace(Point window) { return { window.x + 125, window.y + 100 }; }

LoadCommand::LoadCommand(Conversion &conversion, LoadCommandHost &host)
    : m_conversion(conversion)
    , m_host(host)
{
}

std::optional<RunResult> LoadCommand::loadCSVfile()
{
    return loadChosen(m_host.chooseFile(std::string(loadFilter), m_conversion.sourcefilename));
}

std::optional<RunResult> LoadCommand::loadAndRenumber()
{
    const ModeOn renumbering(m_conversion.renumbermode);
    return loadCSVfile();
}

std::optional<RunResult> LoadCommand::loadWithFiveDigitNumbers()
{
    const ModeOn fiveDigits(m_conversion.fivedigitmode);
    return loadCSVfile();
}

std::optional<RunResult> LoadCommand::loadChosenFile(const std::string &path)
{
    return loadChosen(path);
}

std::optional<RunResult> LoadCommand::loadChosen(const std::optional<std::string> &chosen)
{
    if (!chosen || chosen->empty()) {
        m_host.notice(std::string(noFileMessage));
        return std::nullopt;
    }
    return readdatafile(*chosen);
}

RunResult LoadCommand::readdatafile(const std::string &path)
{
    RunResult result = m_conversion.convertFile(path);
    // The window may have moved while the run went on: its place now counts.
    if (result.outcome == RunOutcome::WrongHeader)
        m_host.placedError(
            std::string(wrongHeaderMessage), wrongHeaderPlace(m_host.windowTopLeft()));
    else
        m_host.placedNotice(summaryMessage(result.count, result.outputName, result.letterNumbers),
            summaryPlace(m_host.windowTopLeft()));
    return result;
}

} // namespace varnholt
