#include <gtest/gtest.h>

#include "store/DateTime.h"
#include "store/Records.h"
#include "store/VolumeName.h"

namespace ardvel {
namespace {

TEST(VolumeNameCodec, EncodesTheNineCharactersAndRefusesTildeDigit)
{
    EXPECT_EQ(EncodeVolumeName("AC/DC: Live").Stem, "AC~47DC~58 Live");
    EXPECT_EQ(EncodeVolumeName("\\/:*?\"<>|").Stem, "~92~47~58~42~63~34~60~62~124");
    for (const char* ok : {"Disc~", "Disc~A", "Disc 1", "", "~", "a~b~"}) {
        const EncodedVolumeName e = EncodeVolumeName(ok);
        EXPECT_FALSE(e.Refused) << ok;
        EXPECT_EQ(e.Stem, ok);
    }
    const EncodedVolumeName refused = EncodeVolumeName("Disc~1");
    EXPECT_TRUE(refused.Refused);
    EXPECT_TRUE(refused.Stem.empty());
    EXPECT_EQ(refused.Message, "fName cannot contain \"~\" character followed by number.");
    EXPECT_TRUE(EncodeVolumeName("x~0y").Refused);
}

TEST(VolumeNameCodec, DecodesCodesModulo256WithinTheRangeElseKeepsTheLastDigit)
{
    EXPECT_EQ(DecodeVolumeName("AC~47DC~58 Live.arv"), "AC/DC: Live");
    EXPECT_EQ(DecodeVolumeName("My ~58 Disc.arv"), "My : Disc");
    EXPECT_EQ(DecodeVolumeName("CD~581.arv"), "CDE");  // 581 mod 256 = 69
    EXPECT_EQ(DecodeVolumeName("a~33b.arv"), "a3b");   // 33 is below the range
    EXPECT_EQ(DecodeVolumeName("a~125.arv"), "a5");    // 125 is above it
    EXPECT_EQ(DecodeVolumeName("a~290.arv"), "a\"");   // 290 mod 256 = 34
    EXPECT_EQ(DecodeVolumeName("a~~x~.arv"), "a~~x~");
    EXPECT_EQ(DecodeVolumeName(".arv"), "");
    EXPECT_EQ(DecodeVolumeName("ab"), "");
    // A digit run far beyond 32 bits does not overflow.
    EXPECT_EQ(DecodeVolumeName("x~10000000000000000000000000000000000092.arv"), "x\\")
        << "the run is taken modulo 256 as it is read";
}

TEST(VolumeNameCodec, EveryAcceptedNameWithoutCodedCharacterBeforeDigitRoundTrips)
{
    for (const std::string name : {"AC/DC: Live", "a|b<c>d", "Plain", "x?y*z\"", "end:"}) {
        EXPECT_EQ(DecodeVolumeName(EncodeVolumeName(name).Stem + ".arv"), name);
    }
    // A coded character directly before a digit does not come back.
    EXPECT_EQ(DecodeVolumeName(EncodeVolumeName("CD:1").Stem + ".arv"), "CDE");
}

DateTimeFields Fields(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    DateTimeFields f;
    f.Year = y, f.Month = mo, f.Day = d, f.Hour = h, f.Minute = mi, f.Second = s, f.Millisecond = ms;
    return f;
}

TEST(DateTimeConversion, TDateTimeCountsDaysFrom18991230)
{
    EXPECT_EQ(EncodeDateTime(Fields(1899, 12, 30)), 0.0);
    EXPECT_EQ(EncodeDateTime(Fields(1900, 1, 1)), 2.0);
    EXPECT_EQ(EncodeDateTime(Fields(2000, 1, 1, 12)), 36526.5);
    const DateTimeFields back = DecodeDateTime(EncodeDateTime(Fields(2024, 2, 29, 23, 59, 59, 999)));
    EXPECT_EQ(back.Year, 2024);
    EXPECT_EQ(back.Month, 2);
    EXPECT_EQ(back.Day, 29);
    EXPECT_EQ(back.Hour, 23);
    EXPECT_EQ(back.Second, 59);
    EXPECT_EQ(back.Millisecond, 999);
}

TEST(DateTimeConversion, DosFormTruncatesToEvenSecondsAndClampsItsRange)
{
    const std::uint32_t dos = DateTimeToDos(EncodeDateTime(Fields(2003, 4, 5, 10, 15, 33, 900)));
    EXPECT_EQ(dos, (23u << 25) | (4u << 21) | (5u << 16) | (10u << 11) | (15u << 5) | 16u);
    EXPECT_EQ(DosToDateTime(dos), EncodeDateTime(Fields(2003, 4, 5, 10, 15, 32)));
    EXPECT_EQ(DateTimeToDos(EncodeDateTime(Fields(1979, 12, 31, 23, 59, 59))), kDosMinimum);
    EXPECT_EQ(DateTimeToDos(EncodeDateTime(Fields(2108, 1, 1))), kDosMaximum);
    EXPECT_EQ(DosToDateTime(kDosMaximum), EncodeDateTime(Fields(2107, 12, 31, 23, 59, 58)));
    EXPECT_EQ(DateTimeToDos(EncodeDateTime(Fields(2107, 12, 31, 23, 59, 59, 999))), kDosMaximum);
}

TEST(DateTimeConversion, DosFormAgreesWithTheCalendarOnEveryDayOfItsRange)
{
    // The DOS form of each day from just before 1980 to just after 2107, at
    // times that round up to midnight, the last even second and midday,
    // against the fields DecodeDateTime gives.
    const std::int64_t first = DaysSinceEpoch(1979, 12, 30), last = DaysSinceEpoch(2108, 1, 2);
    for (std::int64_t day = first; day <= last; ++day) {
        for (double time : {0.0, 0.5, 86399.0 / 86400.0, 86399.9996 / 86400.0, 1.0 / 86400.0}) {
            const TDateTime value = static_cast<double>(day) + time;
            const DateTimeFields f = DecodeDateTime(value);
            std::uint32_t expected;
            if (f.Year < 1980)
                expected = kDosMinimum;
            else if (f.Year > 2107)
                expected = kDosMaximum;
            else
                expected = (static_cast<std::uint32_t>(f.Year - 1980) << 25) |
                           (static_cast<std::uint32_t>(f.Month) << 21) | (static_cast<std::uint32_t>(f.Day) << 16) |
                           (static_cast<std::uint32_t>(f.Hour) << 11) | (static_cast<std::uint32_t>(f.Minute) << 5) |
                           static_cast<std::uint32_t>(f.Second / 2);
            ASSERT_EQ(DateTimeToDos(value), expected) << day << " " << time;
        }
    }
}

TEST(DateTimeConversion, TheFirstAndLastDosYearsAreKeptNotClamped)
{
    for (const DateTimeFields& f : {Fields(1980, 6, 15, 12, 30, 10), Fields(1980, 1, 1, 0, 0, 2),
                                    Fields(2107, 6, 15, 8, 0, 0), Fields(2107, 12, 31, 23, 59, 56)}) {
        const std::uint32_t dos = DateTimeToDos(EncodeDateTime(f));
        EXPECT_EQ(dos >> 25, static_cast<std::uint32_t>(f.Year - 1980)) << f.Year;
        EXPECT_EQ(DosToDateTime(dos), EncodeDateTime(f)) << f.Year << "-" << f.Month;
    }
}

TEST(DateTimeConversion, ATimeThatRoundsUpToMidnightIsTheNextDay)
{
    // Half a millisecond before midnight rounds to the next day's 00:00:00.000.
    const double halfMs = 0.5 / 86400000.0;
    for (const auto& [day, next] :
         {std::pair{Fields(2024, 2, 28), Fields(2024, 2, 29)}, std::pair{Fields(2023, 12, 31), Fields(2024, 1, 1)},
          std::pair{Fields(1899, 12, 29), Fields(1899, 12, 30)},
          std::pair{Fields(1899, 12, 28), Fields(1899, 12, 29)}}) {
        // Before the epoch the time of day counts away from zero.
        const TDateTime base = EncodeDateTime(day);
        const TDateTime late = base >= 0 ? base + 1 - halfMs / 2 : base - 1 + halfMs / 2;
        const DateTimeFields f = DecodeDateTime(late);
        EXPECT_EQ(f.Year, next.Year) << day.Day;
        EXPECT_EQ(f.Month, next.Month) << day.Day;
        EXPECT_EQ(f.Day, next.Day) << day.Day;
        EXPECT_EQ(f.Hour + f.Minute + f.Second + f.Millisecond, 0) << day.Day;
    }
    EXPECT_EQ(DateTimeToDos(EncodeDateTime(Fields(2003, 4, 5)) - halfMs / 2),
              DateTimeToDos(EncodeDateTime(Fields(2003, 4, 5))));
}

TEST(DateTimeConversion, InvalidDosStampsReadAsTheFirstDosDay)
{
    const TDateTime first = EncodeDateTime(Fields(1980, 1, 1));
    EXPECT_EQ(DosToDateTime(0), first);                                      // month 0
    EXPECT_EQ(DosToDateTime((1u << 21) | (1u << 16) | (60u << 5)), first);   // minute 60
    EXPECT_EQ(DosToDateTime((1u << 21) | (1u << 16) | (24u << 11)), first);  // hour 24
    EXPECT_EQ(DosToDateTime((2u << 21) | (30u << 16)), first);               // 30 February
    EXPECT_EQ(DosToDateTime((2u << 21) | (29u << 16) | (20u << 25)),         // 2000 is a leap year
              EncodeDateTime(Fields(2000, 2, 29)));
}

TEST(DateTimeConversion, EveryDosStampReadsAsItsFieldsEncode)
{
    // Every date half with a few times, and every time half with a few
    // dates: the value the calendar gives the fields, or the first DOS day.
    const auto expected = [](std::uint32_t dos) {
        const DateTimeFields f = Fields(static_cast<int>(dos >> 25) + 1980, static_cast<int>((dos >> 21) & 0x0F),
                                        static_cast<int>((dos >> 16) & 0x1F), static_cast<int>((dos >> 11) & 0x1F),
                                        static_cast<int>((dos >> 5) & 0x3F), static_cast<int>(dos & 0x1F) * 2);
        return IsValidDateTime(f) ? EncodeDateTime(f) : EncodeDateTime(Fields(1980, 1, 1));
    };
    const std::uint32_t times[] = {0, (23u << 11) | (59u << 5) | 29u, (12u << 11) | (34u << 5) | 28u, 30u, 24u << 11};
    const std::uint32_t dates[] = {0x0021, (127u << 9) | (12u << 5) | 31u, (20u << 9) | (2u << 5) | 29u, 21u << 5};
    for (std::uint32_t date = 0; date < 0x10000; ++date)
        for (const std::uint32_t time : times)
            ASSERT_EQ(DosToDateTime((date << 16) | time), expected((date << 16) | time));
    for (std::uint32_t time = 0; time < 0x10000; ++time)
        for (const std::uint32_t date : dates)
            ASSERT_EQ(DosToDateTime((date << 16) | time), expected((date << 16) | time));
}

}  // namespace
}  // namespace ardvel

namespace ardvel {
namespace {

TEST(FileRecordSizes, KilobytesRoundUpAndCap)
{
    EXPECT_EQ(SizeKBFromBytes(0), 0);
    EXPECT_EQ(SizeKBFromBytes(1), 1);
    EXPECT_EQ(SizeKBFromBytes(1024), 1);
    EXPECT_EQ(SizeKBFromBytes(1025), 2);
    EXPECT_EQ(SizeKBFromBytes(3ULL << 30), 3 << 20);  // 3 GiB: beyond 32-bit bytes
    EXPECT_EQ(SizeKBFromBytes(2147483647ULL * 1024), 2147483647);
    EXPECT_EQ(SizeKBFromBytes(2147483647ULL * 1024 + 1), 2147483647);
    EXPECT_EQ(SizeKBFromBytes(~0ULL), 2147483647);
    const NewFileRecord r = NewDetails("a.mp3", 1025, 1.5, TMediaInfo{"a", ""});
    EXPECT_EQ(r.SizeKB, 2);
    ASSERT_TRUE(r.Media);
    EXPECT_EQ(r.Media->ArtistText, "a");
}

}  // namespace
}  // namespace ardvel
