#pragma once

#include "run_host.h"

#include <optional>
#include <string>
#include <vector>

namespace varnholt::testing {

/// A RunHost that answers the file question from a script and records every
/// message the run asks it to show.
class RecordingHost final : public RunHost {
public:
    struct Message {
        enum Kind { Notice, PlacedNotice, PlacedError } kind;
        std::string text;
        ScreenPoint at;
    };

    std::optional<std::string> answer; ///< what chooseFile returns
    ScreenPoint window { 100, 200 }; ///< the main window's top-left corner
    std::vector<Message> messages;
    std::vector<std::string> lastNames; ///< the names chooseFile was offered

    std::optional<std::string> chooseFile(const std::string &, const std::string &lastName) override
    {
        lastNames.push_back(lastName);
        return answer;
    }
    ScreenPoint windowTopLeft() const override { return window; }
    void notice(const std::string &text) override
    {
        messages.push_back({ Message::Notice, text, {} });
    }
    void placedNotice(const std::string &text, ScreenPoint at) override
    {
        messages.push_back({ Message::PlacedNotice, text, at });
    }
    void placedError(const std::string &text, ScreenPoint at) override
    {
        messages.push_back({ Message::PlacedError, text, at });
    }
};

} // namespace varnholt::testing
