#include <gtest/gtest.h>

#include <vector>

#include "store/ExportFormats.h"
#include "store/OutputFile.h"
#include "store/RowWriter.h"
#include "support/DateAt.h"
#include "support/ZoneGuard.h"

namespace ardvel {
namespace {

using test::At;

using test::ZoneGuard;

std::string Json(std::string_view text)
{
    std::string out;
    AppendJsonString(out, text);
    return out;
}

std::string Csv(std::string_view text)
{
    std::string out;
    AppendCsvField(out, text);
    return out;
}

// Each case uses its own hours: the offset is looked up once per local hour.
TEST(IsoDate, LocalTimeWithTheOffsetOfThatDate)
{
    {
        const ZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
        EXPECT_EQ(IsoDate(At(2005, 1, 17, 17, 32, 32)), "2005-01-17T17:32:32+01:00");
        EXPECT_EQ(IsoDate(At(2005, 7, 17, 9, 5, 7)), "2005-07-17T09:05:07+02:00");
        EXPECT_EQ(LocalDateTimeToUnix(At(2005, 7, 18, 0, 0, 0)), 1121637600);
    }
    {
        const ZoneGuard zone("EST5EDT,M3.2.0,M11.1.0");
        EXPECT_EQ(IsoDate(At(1999, 12, 31, 23, 59, 58)), "1999-12-31T23:59:58-05:00");
        const TDateTime back = UnixToLocalDateTime(static_cast<std::time_t>(LocalDateTimeToUnix(At(2010, 6, 1, 12))));
        EXPECT_EQ(IsoDate(back), "2010-06-01T12:00:00-04:00");
    }
    {
        const ZoneGuard zone("IST-5:30");
        EXPECT_EQ(IsoDate(At(2020, 2, 29, 6, 7, 8)), "2020-02-29T06:07:08+05:30");
    }
}

TEST(IsoDate, DatesOutsideTheDayCacheTakeTheLongWay)
{
    const ZoneGuard zone("UTC0");
    EXPECT_EQ(IsoDate(At(1850, 3, 4, 5, 6, 7)), "1850-03-04T05:06:07+00:00");
    EXPECT_EQ(IsoDate(At(1899, 12, 30, 23, 59, 59)), "1899-12-30T23:59:59+00:00");
}

TEST(CatalogDate, UnixTimesBecomeWhatAScanRecords)
{
    // Around the clock changes of each zone, before 1980 and after 2107.
    std::vector<std::int64_t> times = {-2000000000, 0,          315532799,  315532800,  1616893199, 1616893200,
                                       1616896800,  1635642000, 1635645600, 4354819199, 4354819200, 9000000000};
    for (std::int64_t t = 300000000; t < 4400000000; t += 7777777) times.push_back(t);
    for (const char* tz : {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0", "IST-5:30"}) {
        const ZoneGuard zone(tz);
        for (std::int64_t t : times) {
            const TDateTime scanned = DosToDateTime(DateTimeToDos(UnixToLocalDateTime(static_cast<std::time_t>(t))));
            EXPECT_EQ(UnixToCatalogDate(t), scanned) << tz << " " << t;
            for (int d = 1; d < 4; ++d)
                EXPECT_EQ(UnixToCatalogDate(t + d),
                          DosToDateTime(DateTimeToDos(UnixToLocalDateTime(static_cast<std::time_t>(t + d)))));
        }
    }
}

TEST(JsonText, EscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(Json("plain"), "\"plain\"");
    EXPECT_EQ(Json("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
    EXPECT_EQ(Json("\b\f\n\r\t"), "\"\\b\\f\\n\\r\\t\"");
    EXPECT_EQ(Json(std::string("\x01\x1f\0x", 4)), "\"\\u0001\\u001f\\u0000x\"");
    EXPECT_EQ(Json("\x7f"), "\"\x7f\"");  // DEL needs no escape
}

TEST(JsonText, KeepsUtf8AndReplacesEachStrayByteWithFffd)
{
    EXPECT_EQ(Json("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5"), "\"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5\"");
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(Json("a\xFF"
                   "b"),
              "\"a" + fffd + "b\"");                                    // a Windows-1252 byte
    EXPECT_EQ(Json("\xE2\x82"), "\"" + fffd + fffd + "\"");             // cut sequence
    EXPECT_EQ(Json("\xC0\xAF"), "\"" + fffd + fffd + "\"");             // overlong
    EXPECT_EQ(Json("\xED\xA0\x80"), "\"" + fffd + fffd + fffd + "\"");  // surrogate
    EXPECT_EQ(Json("\xE9\n"), "\"" + fffd + "\\n\"");
}

TEST(CsvText, QuotesOnlyWhatNeedsItAndDoublesQuotes)
{
    EXPECT_EQ(Csv("plain text"), "plain text");
    EXPECT_EQ(Csv("a,b"), "\"a,b\"");
    EXPECT_EQ(Csv("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(Csv("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(Csv("cr\r"), "\"cr\r\"");
    EXPECT_EQ(Csv("\"\xFF\""), "\"\"\"\xEF\xBF\xBD\"\"\"");
    EXPECT_EQ(Csv("tab\there"), "tab\there");
}

TEST(BareTitleText, DropsTheJoinOnlyAtTheStart)
{
    EXPECT_EQ(BareTitle(" - Song - Live"), "Song - Live");
    EXPECT_EQ(BareTitle(""), "");
    EXPECT_EQ(BareTitle("Song"), "Song");
}

constexpr FieldInfo kFields[] = {
    {"name", FieldType::Text},
    {"size", FieldType::Integer, true},
    {"dir", FieldType::Boolean},
    {"date", FieldType::Date},
};

std::string Rows(RowFormat format, int count = 2)
{
    const ZoneGuard zone("UTC0");
    StringSink sink;
    RowWriter rows(sink, format, kFields, 0);
    if (count > 0) rows.Text("a,\"b\"\n").Integer(2048).Boolean(false).Date(At(2001, 2, 3, 4, 5, 6)).EndRow();
    if (count > 1) rows.Text("dir\t\\").Null().Boolean(true).Date(At(2001, 2, 3, 4, 5, 6)).EndRow();
    rows.Finish();
    return sink.Text;
}

TEST(RowWriterFormats, EachFormatWritesTheSameRows)
{
    EXPECT_EQ(Rows(RowFormat::Csv),
              "name,size,dir,date\r\n"
              "\"a,\"\"b\"\"\n\",2048,false,2001-02-03T04:05:06+00:00\r\n"
              "dir\t\\,,true,2001-02-03T04:05:06+00:00\r\n");
    const std::string first = R"({"name":"a,\"b\"\n","size":2048,"dir":false,"date":"2001-02-03T04:05:06+00:00"})";
    const std::string second = R"({"name":"dir\t\\","size":null,"dir":true,"date":"2001-02-03T04:05:06+00:00"})";
    EXPECT_EQ(Rows(RowFormat::Json), "[\n" + first + ",\n" + second + "\n]\n");
    EXPECT_EQ(Rows(RowFormat::Jsonl), first + "\n" + second + "\n");
    EXPECT_EQ(Rows(RowFormat::Tsv),
              "a,\"b\"\\n\t2048\tfalse\t2001-02-03T04:05:06+00:00\n"
              "dir\\t\\\\\t\ttrue\t2001-02-03T04:05:06+00:00\n");
    EXPECT_EQ(Rows(RowFormat::Null), std::string("a,\"b\"\n\0dir\t\\\0", 13));
}

TEST(RowWriterFormats, NoRowsIsAnEmptyDocument)
{
    EXPECT_EQ(Rows(RowFormat::Json, 0), "[]\n");
    EXPECT_EQ(Rows(RowFormat::Csv, 0), "name,size,dir,date\r\n");
    EXPECT_EQ(Rows(RowFormat::Jsonl, 0), "");
    EXPECT_EQ(ParseRowFormat("JSON"), std::nullopt);
    EXPECT_EQ(ParseRowFormat("jsonl"), RowFormat::Jsonl);
}

}  // namespace
}  // namespace ardvel
