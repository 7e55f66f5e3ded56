#pragma once

// What a command throws becomes a message on stderr and an exit status,
// never std::terminate: the engine's own errors, usage errors, and whatever
// the standard library throws on the way (std::bad_alloc, std::length_error).

#include <exception>
#include <new>
#include <ostream>

#include "cli/CliCommon.h"
#include "store/CatalogError.h"

namespace ardvel::cli {

/// Runs `command` (returning its exit status) and turns what it throws into
/// one line on `err`, after flushing `out` so that rows written before the
/// failure come first:
/// - UsageError: "ardvel-cli: MESSAGE (try --help)", kExitUsage;
/// - CatalogError: "PATH: MESSAGE" (MESSAGE alone without a path), kExitFailure;
/// - std::bad_alloc: "ardvel-cli: out of memory", kExitFailure;
/// - any other exception: "ardvel-cli: MESSAGE", kExitFailure.
template <typename Command>
int RunGuarded(Command&& command, std::ostream& out, std::ostream& err)
{
    try {
        return command();
    } catch (const UsageError& e) {
        out.flush();
        err << "ardvel-cli: " << e.what() << " (try --help)\n";
        return kExitUsage;
    } catch (const CatalogError& e) {
        out.flush();
        if (e.Path().empty())
            err << e.what() << '\n';
        else
            err << e.Path() << ": " << e.what() << '\n';
        return kExitFailure;
    } catch (const std::bad_alloc&) {
        out.flush();
        err << "ardvel-cli: out of memory\n";
        return kExitFailure;
    } catch (const std::exception& e) {
        out.flush();
        err << "ardvel-cli: " << e.what() << '\n';
        return kExitFailure;
    } catch (...) {
        out.flush();
        err << "ardvel-cli: unknown error\n";
        return kExitFailure;
    }
}

}  // namespace ardvel::cli
