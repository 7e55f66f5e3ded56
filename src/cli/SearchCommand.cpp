// search: the search of the Ardvel window from the command line.
#include <cstdio>
#include <limits>
#include <optional>
#include <ostream>
#include <string>

#include "cli/CliCommon.h"
#include "cli/EntryOutput.h"
#include "cli/LookIn.h"
#include "platform/Locale.h"
#include "platform/TextEncoding.h"
#include "search/SearchReport.h"
#include "search/SearchWalk.h"
#include "store/CatalogError.h"

namespace ardvel::cli {

namespace {

std::int32_t ParseCount(const std::string& option, const std::string& text)
{
    const auto value = ParseWhole(text);
    if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max())
        throw UsageError(option + " needs a whole number, not \"" + text + "\"");
    return static_cast<std::int32_t>(*value);
}

/// As the size spin edit keeps it: pulled into its range.
std::int32_t ParseSizeLimit(const std::string& option, const std::string& text)
{
    const auto value = ParseWhole(text);
    if (!value) throw UsageError(option + " needs a whole number of KB, not \"" + text + "\"");
    if (*value < kSizeEditMinimum) return kSizeEditMinimum;
    if (*value > kSizeEditMaximum) return kSizeEditMaximum;
    return static_cast<std::int32_t>(*value);
}

/// "YYYY-MM-DD" (midnight) or "YYYY-MM-DD HH:MM:SS".
TDateTime ParseDate(const std::string& text)
{
    DateTimeFields f;
    char tail = 0;
    int consumed = 0;
    bool ok = false;
    if (text.size() == 10) {
        ok = std::sscanf(text.c_str(), "%4d-%2d-%2d%n%c", &f.Year, &f.Month, &f.Day, &consumed, &tail) == 3 &&
             consumed == 10;
    } else if (text.size() == 19) {
        ok = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n%c", &f.Year, &f.Month, &f.Day, &f.Hour, &f.Minute,
                         &f.Second, &consumed, &tail) == 6 &&
             consumed == 19;
    }
    for (std::size_t i = 0; ok && i < text.size(); ++i) {
        const bool separator = i == 4 || i == 7 || i == 10 || i == 13 || i == 16;
        if (!separator && (text[i] < '0' || text[i] > '9')) ok = false;
    }
    if (!ok || !IsValidDateTime(f))
        throw UsageError("--between needs dates as YYYY-MM-DD or \"YYYY-MM-DD HH:MM:SS\", not \"" + text + "\"");
    return EncodeDateTime(f);
}

struct SearchOptions {
    SearchCriteria Criteria;
    std::string In = "All";
    std::optional<std::string> Report;
};

/// The date option at args[i] (--months N, --days N or --between FROM TO)
/// into `c`; `i` moves past its values.
void ParseDateOption(const Args& args, std::size_t& i, SearchCriteria& c)
{
    const std::string& arg = args[i];
    c.DateOn = true;
    if (arg == "--between") {
        if (i + 2 >= args.size()) throw UsageError("--between needs two dates");
        c.DateMode = SearchDateMode::InRange;
        c.RangeStart = ParseDate(args[++i]);
        c.RangeEnd = ParseDate(args[++i]);
        return;
    }
    if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
    const std::string& count = args[++i];
    if (arg == "--months") {
        c.DateMode = SearchDateMode::InLastMonths;
        c.MonthCount = ParseCount(arg, count);
    } else {
        c.DateMode = SearchDateMode::InLastDays;
        c.DayCount = ParseCount(arg, count);
    }
}

SearchOptions ParseOptions(const Args& args)
{
    SearchOptions o;
    bool haveName = false, haveIn = false, haveArtist = false, haveTitle = false, haveDate = false, haveSize = false,
         haveAccents = false;
    bool optionsEnded = false;
    const auto value = [&](std::size_t& i) -> const std::string& {
        if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
        return args[++i];
    };
    const auto once = [&](bool& seen, const std::string& what) {
        if (seen) throw UsageError(what);
        seen = true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            once(haveName, "search takes one name text (quote a text with blanks)");
            o.Criteria.NameText = arg;
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--in") {
            once(haveIn, "--in given twice");
            o.In = value(i);
        } else if (arg == "--artist") {
            once(haveArtist, "--artist given twice");
            o.Criteria.MediaOn = true;
            o.Criteria.ArtistPart = value(i);
        } else if (arg == "--title") {
            once(haveTitle, "--title given twice");
            o.Criteria.MediaOn = true;
            o.Criteria.TitlePart = value(i);
        } else if (arg == "--months" || arg == "--days" || arg == "--between") {
            once(haveDate, "only one of --months, --days and --between may be given");
            ParseDateOption(args, i, o.Criteria);
        } else if (arg == "--at-least" || arg == "--at-most") {
            once(haveSize, "only one of --at-least and --at-most may be given");
            o.Criteria.SizeOn = true;
            o.Criteria.SizeBound = arg == "--at-least" ? SearchSizeBound::AtLeast : SearchSizeBound::AtMost;
            o.Criteria.SizeLimitKB = ParseSizeLimit(arg, value(i));
        } else if (arg == "--ignore-accents") {
            once(haveAccents, "--ignore-accents given twice");
            o.Criteria.IgnoreAccents = true;
        } else if (arg == "--report") {
            if (o.Report) throw UsageError("--report given twice");
            o.Report = value(i);
        } else {
            throw UsageError("unknown search option: " + arg);
        }
    }
    return o;
}

}  // namespace

int RunSearch(const CliContext& context, const Args& args, std::ostream& out, std::ostream& err)
{
    SearchOptions options = ParseOptions(args);
    const Locale& locale = Locale::User();

    CatalogTree tree;
    bool ok = LoadForCommand(context, tree, err);

    // The Look-in entry: "All", a volume, or the current folder's node path.
    const std::optional<LookIn> lookIn = ResolveLookIn(tree, options.In, locale);
    if (!lookIn) {
        err << "Path not found!\n";
        return kExitFailure;
    }

    SearchResults results;
    SearchWalk walk(tree, lookIn->Scope, options.Criteria, locale, results);
    walk.Run();
    if (const EMaskException* error = walk.Error()) {
        out.flush();
        err << error->what() << '\n';
        return kExitFailure;
    }

    if (context.Format != RowFormat::Tsv) WriteSearchRows(results, context.Format, out);
    for (std::size_t i = 0; i < results.size() && context.Format == RowFormat::Tsv; ++i) {
        const auto texts = results.Texts(i, locale);
        for (int c = 0; c < kSearchColumnCount; ++c) {
            if (c > 0) out << '\t';
            out << EscapeField(texts[c]);
        }
        out << '\n';
    }

    if (options.Report && !results.empty()) {
        const std::vector<ReportRow> rows = ReportRows(results, locale);
        const std::vector<std::string> lines =
            BuildReportLines(walk.Criteria(), lookIn->Text, rows, std::to_string(tree.VolumeCount()) + " Catalogs",
                             std::to_string(results.size()) + " Matches found", locale);
        try {
            WriteReport(*options.Report, lines);
        } catch (const CatalogError& e) {
            out.flush();
            err << e.what() << '\n';
            ok = false;
        }
    }
    return ok ? kExitOk : kExitFailure;
}

}  // namespace ardvel::cli
