// What ardvel-cli makes of an exception escaping a command.

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/CliGuard.h"

namespace ardvel::cli {
namespace {

struct Guarded {
    int Code = -1;
    std::string Out, Err;
};

template <typename Command>
Guarded RunCommand(Command command)
{
    std::ostringstream out, err;
    Guarded g;
    g.Code = RunGuarded(
        [&] {
            out << "row\n";  // written before the failure
            return command();
        },
        out, err);
    g.Out = out.str();
    g.Err = err.str();
    return g;
}

TEST(CliGuard, EveryExceptionBecomesAMessageAndAnExitStatus)
{
    struct Case {
        std::function<int()> Command;
        int Code;
        std::string Err;
    };
    const std::vector<Case> cases = {
        {[] { return 0; }, kExitOk, ""},
        {[] { return kExitInterrupted; }, kExitInterrupted, ""},
        {[]() -> int { throw UsageError("unknown command: x"); }, kExitUsage,
         "ardvel-cli: unknown command: x (try --help)\n"},
        {[]() -> int { throw CatalogError("Read beyond end of file", "/c/junk.arv"); }, kExitFailure,
         "/c/junk.arv: Read beyond end of file\n"},
        {[]() -> int { throw CatalogError("Disk full"); }, kExitFailure, "Disk full\n"},
        // The standard library's own, which used to end in std::terminate.
        {[]() -> int { throw std::length_error("search results too large"); }, kExitFailure,
         "ardvel-cli: search results too large\n"},
        {[]() -> int { throw std::bad_alloc(); }, kExitFailure, "ardvel-cli: out of memory\n"},
        {[]() -> int { throw 42; }, kExitFailure, "ardvel-cli: unknown error\n"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Guarded g = RunCommand(cases[i].Command);
        EXPECT_EQ(g.Code, cases[i].Code) << i;
        EXPECT_EQ(g.Out, "row\n") << i;
        EXPECT_EQ(g.Err, cases[i].Err) << i;
    }
}

}  // namespace
}  // namespace ardvel::cli
