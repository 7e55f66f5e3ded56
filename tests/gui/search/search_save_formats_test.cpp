#include <QAction>
#include <filesystem>
#include <sstream>

#include "SearchModeFixture.h"

namespace ardvel::gui::test {
namespace {

struct SearchSaveFormatsTest : SearchModeFixture {
    void SetUp() override
    {
        WriteStandardCatalogs();
        StartWindow();
        W().SBut->trigger();
        Search(QStringLiteral("*"));
        emit W().SearchView->HeaderClicked(kColumnName);  // descending
    }
    std::string Save(const std::string& name)
    {
        saveDialogs.SaveNames.push_back(QString::fromStdString((out.Path() / name).string()));
        W().SaveSR->trigger();
        return ReadBytes((out.Path() / name).string());
    }
    TempDir out;
};

TEST_F(SearchSaveFormatsTest, CsvHoldsTheRowsInTheListsOrder)
{
    std::istringstream lines(Save("results.csv"));
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) rows.push_back(line);
    ASSERT_EQ(rows.size(), 1u + 7);
    EXPECT_EQ(rows[0], "type,volume,path,name,size,size_kb,date,artist,title\r");
    EXPECT_TRUE(rows[1].starts_with("folder,Music 2002,Music 2002/Rock,Rock,,,")) << rows[1];
    EXPECT_TRUE(rows[2].starts_with("folder,Music 2002,Music 2002/Rock/Live,Live,,,")) << rows[2];
    EXPECT_TRUE(rows[3].starts_with("folder,Music 2002,Music 2002/Jazz,Jazz,,,")) << rows[3];
    EXPECT_TRUE(rows[4].starts_with("file,Music 2002,Music 2002/Rock/Live/two.mp3,two.mp3,1230848,1202,")) << rows[4];
    EXPECT_TRUE(rows[4].ends_with(",Band,Two\r")) << rows[4];
    EXPECT_TRUE(rows[7].starts_with("file,Photos,Photos/beach.jpg,beach.jpg,307200,300,")) << rows[7];
    EXPECT_TRUE(rows[7].ends_with(",,\r")) << rows[7];
    EXPECT_TRUE(dialogs.Errors.isEmpty());
}

TEST_F(SearchSaveFormatsTest, JsonIsOneArrayAndTheTextReportStaysTheDefault)
{
    const std::string json = Save("results.json");
    EXPECT_TRUE(json.starts_with("[\n{\"type\":\"folder\",\"volume\":\"Music 2002\",\"path\":\"Music 2002/Rock\","))
        << json;
    EXPECT_TRUE(json.ends_with("\"artist\":null,\"title\":null}\n]\n"));
    EXPECT_EQ(std::count(json.begin(), json.end(), '\n'), 1 + 7 + 1);
    EXPECT_TRUE(Save("report.txt").starts_with("Criteria: *\r\n"));
}

}  // namespace
}  // namespace ardvel::gui::test
