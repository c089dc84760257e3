#include "command_queue.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace varnholt {
namespace {

    TEST(CommandQueue, FilesRunInTurnFromOneMessageAndLateOnesJoinIt)
    {
        CommandQueue queue;
        EXPECT_FALSE(queue.startOpening()) << "nothing waits";
        queue.addFiles({ "a.csv", "b.csv" });
        EXPECT_TRUE(queue.startOpening());
        queue.addFiles({ "c.csv" });
        EXPECT_FALSE(queue.startOpening()) << "a message is already on its way";

        std::vector<std::string> loaded;
        queue.openWaitingFiles([&](const std::string &path) {
            loaded.push_back(path);
            EXPECT_TRUE(queue.running());
            // Handed over while a file's box is open: it waits for this turn.
            if (path == "a.csv")
                queue.addFiles({ "d.csv" });
            EXPECT_FALSE(queue.startOpening());
            EXPECT_FALSE(queue.runCommand([] { FAIL() << "a command ran inside a file's run"; }));
        });
        EXPECT_EQ(loaded, (std::vector<std::string> { "a.csv", "b.csv", "c.csv", "d.csv" }));
        EXPECT_FALSE(queue.running());
        EXPECT_FALSE(queue.filesWaiting());
        queue.addFiles({ "e.csv" });
        EXPECT_TRUE(queue.startOpening()) << "the next files need a message of their own";
    }

    TEST(CommandQueue, OneCommandAtATimeAndFilesAfterIt)
    {
        CommandQueue queue;
        int runs = 0;
        bool nestedRan = true;
        EXPECT_TRUE(queue.runCommand([&] {
            ++runs;
            nestedRan = queue.runCommand([&] { ++runs; });
            queue.addFiles({ "a.csv" });
            EXPECT_FALSE(queue.startOpening()) << "files wait for the command";
        }));
        EXPECT_FALSE(nestedRan);
        EXPECT_EQ(runs, 1);
        EXPECT_TRUE(queue.startOpening());

        // A command that starts while the message is on its way holds the files back.
        std::vector<std::string> loaded;
        queue.runCommand([&] {
            queue.openWaitingFiles([&](const std::string &path) { loaded.push_back(path); });
        });
        EXPECT_TRUE(loaded.empty());
        EXPECT_TRUE(queue.filesWaiting());
        EXPECT_TRUE(queue.startOpening());
        queue.openWaitingFiles([&](const std::string &path) { loaded.push_back(path); });
        EXPECT_EQ(loaded, std::vector<std::string> { "a.csv" });
    }

    TEST(CommandQueue, AnErrorThatPassesOnEndsTheMarkAndKeepsTheRestWaiting)
    {
        CommandQueue queue;
        EXPECT_THROW(
            queue.runCommand([] { throw std::runtime_error("command"); }), std::runtime_error);
        EXPECT_FALSE(queue.running());

        queue.addFiles({ "bad.csv", "good.csv" });
        ASSERT_TRUE(queue.startOpening());
        EXPECT_THROW(
            queue.openWaitingFiles([](const std::string &) { throw std::runtime_error("file"); }),
            std::runtime_error);
        EXPECT_FALSE(queue.running());
        EXPECT_TRUE(queue.filesWaiting());
        EXPECT_TRUE(queue.startOpening());
    }

} // namespace
} // namespace varnholt
