// varnholt-convert run as a user runs it: in a folder holding copies of the
// fixtures, its exit status, both its streams and the files it leaves.

#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace varnholt {
namespace {

    namespace fs = std::filesystem;
    using testing::caseName;
    using testing::PrintTo;
    using testing::readBytes;

    std::string dataFile(const std::string &name)
    {
        return readBytes(fs::path(VARNHOLT_TEST_DATA) / name);
    }

    /// The TLE text with every name line (each third line from the first) cut to
    /// `width` characters, trailing blanks removed.
    std::string namesCut(const std::string &tle, std::size_t width)
    {
        std::string result;
        std::size_t start = 0;
        for (int line = 0; start < tle.size(); ++line) {
            const std::size_t end = tle.find("\r\n", start);
            std::string text = tle.substr(start, end - start);
            if (line % 3 == 0) {
                text.resize(std::min(text.size(), width));
                text.erase(text.find_last_not_of(' ') + 1);
            }
            result += text + "\r\n";
            start = end + 2;
        }
        return result;
    }

    struct Outcome {
        int status = -1;
        std::string out;
        std::string err;
    };

    struct ConverterCase {
        const char *name;
        std::string arguments; ///< after the program's name, as a shell reads them
        int status;
        std::string out; ///< standard output, whole
        std::string err; ///< standard error, whole
        std::vector<std::pair<std::string, std::string>>
            files; ///< made in the folder, and their bytes
    };

    class Converter : public ::testing::TestWithParam<ConverterCase> {
    protected:
        void SetUp() override
        {
            for (const char *name : { "catalogue.csv", "stand-ins.csv", "edges.csv" })
                fs::copy_file(fs::path(VARNHOLT_TEST_DATA) / name, m_folder.path() / name);
        }

        Outcome run(const std::string &arguments) const
        {
            const fs::path out = m_folder.path() / ".out";
            const fs::path err = m_folder.path() / ".err";
            const std::string command = "cd '" + m_folder.path().string() + "' && '"
                + VARNHOLT_CONVERT + "' " + arguments + " >.out 2>.err";
            const int status = std::system(command.c_str());
            Outcome outcome { WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(out),
                readBytes(err) };
            fs::remove(out);
            fs::remove(err);
            return outcome;
        }

        /// The files in the folder other than the three inputs.
        std::vector<std::string> made() const
        {
            std::vector<std::string> names;
            for (const auto &entry : fs::directory_iterator(m_folder.path())) {
                const std::string name = entry.path().filename().string();
                if (!name.ends_with(".csv"))
                    names.push_back(name);
            }
            std::sort(names.begin(), names.end());
            return names;
        }

        const testing::TemporaryFolder m_folder { "converter" };
    };

    TEST_P(Converter, GivesItsStatusLinesAndFiles)
    {
        const ConverterCase &c = GetParam();
        const Outcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.out, c.out);
        EXPECT_EQ(outcome.err, c.err);
        std::vector<std::string> expectedNames;
        for (const auto &[name, bytes] : c.files) {
            expectedNames.push_back(name);
            EXPECT_EQ(readBytes(m_folder.path() / name), bytes) << name;
        }
        std::sort(expectedNames.begin(), expectedNames.end());
        EXPECT_EQ(made(), expectedNames);
        // The inputs are never written.
        for (const char *name : { "catalogue.csv", "stand-ins.csv", "edges.csv" })
            EXPECT_EQ(readBytes(m_folder.path() / name), dataFile(name)) << name;
    }

    const std::string noStandIn = "varnholt-convert: stand-ins.csv:7: Catalogue number '120000' "
                                  "is above 119999 and has no five-digit stand-in\n";
    const std::string letterNote = " numbers above 99999 in letter form (see --five-digit)\n";

    INSTANTIATE_TEST_SUITE_P(NumberForms,
        Converter,
        ::testing::Values(
            ConverterCase { "LetterFormByDefault", "stand-ins.csv", 0,
                "stand-ins.csv: 7 satellites written to stand-ins.TLE; 4" + letterNote, "",
                { { "stand-ins.TLE", dataFile("stand-ins.tle") } } },
            // Whole entries before the row without a stand-in stay written.
            ConverterCase { "FiveDigitStandIns", "--five-digit stand-ins.csv", 1, "", noStandIn,
                { { "stand-ins.TLE", dataFile("stand-ins-five-digit.tle") } } },
            ConverterCase { "NoNoteWithoutLetterForms", "edges.csv", 0,
                "edges.csv: 3 satellites written to edges.TLE\n", "",
                { { "edges.TLE", dataFile("edges.tle") } } },
            ConverterCase { "FiveDigitLeavesLowerNumbers", "--five-digit edges.csv", 0,
                "edges.csv: 3 satellites written to edges.TLE\n", "",
                { { "edges.TLE", dataFile("edges.tle") } } }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(NameWidth,
        Converter,
        ::testing::Values(
            ConverterCase { "PublishedWidth", "--name-width 24 catalogue.csv", 0,
                "catalogue.csv: 8 satellites written to catalogue.TLE; 3" + letterNote, "",
                { { "catalogue.TLE", dataFile("catalogue.tle") } } },
            ConverterCase { "Narrow", "--name-width=9 catalogue.csv", 0,
                "catalogue.csv: 8 satellites written to catalogue.TLE; 3" + letterNote, "",
                { { "catalogue.TLE", namesCut(dataFile("catalogue.tle"), 9) } } },
            ConverterCase { "One", "--name-width 1 edges.csv", 0,
                "edges.csv: 3 satellites written to edges.TLE\n", "",
                { { "edges.TLE", namesCut(dataFile("edges.tle"), 1) } } }),
        caseName);

    INSTANTIATE_TEST_SUITE_P(Output,
        Converter,
        ::testing::Values(ConverterCase { "NamedFile", "-o active.tle catalogue.csv", 0,
                              "catalogue.csv: 8 satellites written to active.tle; 3" + letterNote,
                              "", { { "active.tle", dataFile("catalogue.tle") } } },
            ConverterCase { "LongForm", "stand-ins.csv --output=sub.tle --five-digit", 1, "",
                noStandIn, { { "sub.tle", dataFile("stand-ins-five-digit.tle") } } },
            ConverterCase { "StandardOutput", "-o - catalogue.csv", 0, dataFile("catalogue.tle"),
                "catalogue.csv: 8 satellites written to standard output; 3" + letterNote, {} },
            ConverterCase { "FromStandardInput", "--output active.tle - <catalogue.csv", 0,
                "-: 8 satellites written to active.tle; 3" + letterNote, "",
                { { "active.tle", dataFile("catalogue.tle") } } },
            // The input itself as the output is refused before anything is written.
            ConverterCase { "InputItself", "-o stand-ins.csv stand-ins.csv", 1, "",
                "varnholt-convert: stand-ins.csv: I/O error 32\n", {} },
            ConverterCase { "StandardInputItself", "-o stand-ins.csv - <stand-ins.csv", 1, "",
                "varnholt-convert: -: I/O error 32\n", {} }),
        caseName);

    const std::string tryHelp = "Try 'varnholt-convert --help'.\n";

    INSTANTIATE_TEST_SUITE_P(Usage,
        Converter,
        ::testing::Values(
            ConverterCase { "NameWidthZero", "--name-width 0 edges.csv", 2, "",
                "varnholt-convert: --name-width takes a number from 1 to 69, not '0'\n" + tryHelp,
                {} },
            ConverterCase { "NameWidthAboveTheLine", "--name-width=70 edges.csv", 2, "",
                "varnholt-convert: --name-width takes a number from 1 to 69, not '70'\n" + tryHelp,
                {} },
            ConverterCase { "NameWidthNotANumber", "--name-width 2x edges.csv", 2, "",
                "varnholt-convert: --name-width takes a number from 1 to 69, not '2x'\n" + tryHelp,
                {} },
            ConverterCase { "NameWidthMissing", "edges.csv --name-width", 2, "",
                "varnholt-convert: --name-width takes a number from 1 to 69\n" + tryHelp, {} },
            ConverterCase { "OutputMissing", "edges.csv -o", 2, "",
                "varnholt-convert: -o takes a file name\n" + tryHelp, {} },
            ConverterCase { "OutputEmpty", "--output= edges.csv", 2, "",
                "varnholt-convert: --output takes a file name\n" + tryHelp, {} },
            ConverterCase { "OutputForTwoInputs", "-o all.tle edges.csv catalogue.csv", 2, "",
                "varnholt-convert: -o names one output, but there are 2 input files\n" + tryHelp,
                {} },
            ConverterCase { "RenumberWithFiveDigit", "--renumber --five-digit edges.csv", 2, "",
                "varnholt-convert: --renumber and --five-digit do not go together\n" + tryHelp,
                {} }),
        caseName);

} // namespace
} // namespace varnholt
