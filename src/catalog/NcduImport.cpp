#include "catalog/NcduImport.h"

#include <memory>
#include <vector>

#include "catalog/ScanFolder.h"
#include "store/LocalTime.h"
#include "store/MediaInfo.h"
#include "store/Records.h"

namespace ardvel {

namespace {

using Token = JsonReader::Token;

struct Info {
    std::string Name;
    std::size_t Offset = 0;  ///< where the info object starts
    std::uint64_t Asize = 0;
    bool HasMtime = false;
    std::int64_t Mtime = 0;
    bool Excluded = false;
    bool MountExcluded = false;  ///< excluded as another file system
    bool HardLink = false;
};

void Expect(JsonReader& json, Token got, Token wanted, const char* what)
{
    if (got != wanted) json.Fail(std::string("expected ") + what);
}

std::uint64_t WholeNumber(JsonReader& json, Token token, const char* member)
{
    const auto value = token == Token::Number ? json.Integer() : std::nullopt;
    if (!value || *value < 0) json.Fail(std::string("\"") + member + "\" must be a whole number of at least 0");
    return static_cast<std::uint64_t>(*value);
}

/// Reads the members of an info object whose '{' was just read.
void ReadInfo(JsonReader& json, Info& info)
{
    info = Info{};
    info.Offset = json.Offset();
    bool named = false;
    enum Member { kOther, kName, kAsize, kMtime, kExcluded, kHardLink };
    for (Token t = json.Next(); t != Token::EndObject; t = json.Next()) {
        // Told apart before the value is read, which may reuse the key's text.
        const std::string_view text = json.Text();
        const Member key = text == "name"       ? kName
                           : text == "asize"    ? kAsize
                           : text == "mtime"    ? kMtime
                           : text == "excluded" ? kExcluded
                           : text == "hlnkc"    ? kHardLink
                                                : kOther;
        const Token value = json.Next();
        if (key == kName) {
            if (value != Token::String) json.Fail("\"name\" must be a string");
            info.Name.assign(json.Text());
            named = true;
        } else if (key == kAsize) {
            info.Asize = WholeNumber(json, value, "asize");
        } else if (key == kMtime) {
            const auto mtime = value == Token::Number ? json.Integer() : std::nullopt;
            if (!mtime) json.Fail("\"mtime\" must be a whole number");
            info.HasMtime = true;
            info.Mtime = *mtime;
        } else if (key == kExcluded) {
            info.Excluded = value != Token::False && value != Token::Null;
            const std::string_view why = value == Token::String ? json.Text() : std::string_view();
            info.MountExcluded = why == "otherfs" || why == "kernfs" || why == "frmlnk";
        } else if (key == kHardLink) {
            info.HardLink = value == Token::True;
        } else {
            json.SkipValue(value);  // dsize, dev, ino, nlink, uid, gid, mode, notreg, read_error, ...
        }
    }
    if (!named) json.FailAt(info.Offset, "an entry without \"name\"");
}

void CheckEntryName(JsonReader& json, const Info& info)
{
    if (info.Name.empty() || info.Name == "." || info.Name == "..")
        json.FailAt(info.Offset, "\"" + info.Name + "\" is no file or folder name");
    if (info.Name.find('/') != std::string::npos)
        json.FailAt(info.Offset, "a name holding \"/\": \"" + info.Name + "\"");
}

/// The files of one open folder, added to its node when it closes so that
/// they form one range of the store even when folders come between them.
struct Staged {
    std::vector<std::uint32_t> NameEnds;
    std::vector<std::int32_t> Sizes;
    std::vector<TDateTime> Dates;
    std::string Names;
};

class Importer {
public:
    Importer(std::string_view document, CatalogTree& tree, TDateTime importDate)
        : json_(document), tree_(tree), importDate_(importDate)
    {
    }

    NcduImportStats Run(NodeId volume);

private:
    void ReadHead();
    TDateTime DateOf(const Info& info);
    void Flush(NodeId node, Staged& staged);

    JsonReader json_;
    CatalogTree& tree_;
    TDateTime importDate_;
    NcduImportStats stats_;
    Info info_;
};

void Importer::ReadHead()
{
    Expect(json_, json_.Next(), Token::BeginArray, "'[' at the start of an ncdu export");
    Expect(json_, json_.Next(), Token::Number, "the format's major version");
    if (json_.Integer() != 1) json_.Fail("unsupported ncdu export version " + std::string(json_.Text()));
    Expect(json_, json_.Next(), Token::Number, "the format's minor version");
    json_.SkipValue(json_.Next());  // the metadata
    Expect(json_, json_.Next(), Token::BeginArray, "the top folder's array");
    Expect(json_, json_.Next(), Token::BeginObject, "the top folder's info object");
    ReadInfo(json_, info_);
    stats_.RootName = info_.Name;
}

TDateTime Importer::DateOf(const Info& info)
{
    if (!info.HasMtime) return importDate_;
    ++stats_.Dated;
    return UnixToCatalogDate(info.Mtime);  // as a scan keeps it
}

void Importer::Flush(NodeId node, Staged& staged)
{
    std::uint32_t begin = 0;
    for (std::size_t i = 0; i < staged.Sizes.size(); ++i) {
        const std::string_view name(staged.Names.data() + begin, staged.NameEnds[i] - begin);
        begin = staged.NameEnds[i];
        if (HasMp3Extension(TrimTrailingControls(name))) {
            ++stats_.Mp3Files;
            const std::string media = UntaggedMediaText(name);
            tree_.AddFile(node, name, staged.Sizes[i], staged.Dates[i], true, media, {});
        } else {
            tree_.AddFile(node, name, staged.Sizes[i], staged.Dates[i], false, {}, {});
        }
    }
    staged.NameEnds.clear();
    staged.Sizes.clear();
    staged.Dates.clear();
    staged.Names.clear();
}

NcduImportStats Importer::Run(NodeId volume)
{
    ReadHead();
    std::vector<NodeId> nodes{volume};
    std::vector<std::unique_ptr<Staged>> staged;
    staged.push_back(std::make_unique<Staged>());
    while (!nodes.empty()) {
        const Token t = json_.Next();
        if (t == Token::EndArray) {
            Flush(nodes.back(), *staged[nodes.size() - 1]);
            nodes.pop_back();
            continue;
        }
        if (t == Token::BeginArray) {
            Expect(json_, json_.Next(), Token::BeginObject, "a folder's info object");
            ReadInfo(json_, info_);
            CheckEntryName(json_, info_);
            ++stats_.Folders;
            nodes.push_back(tree_.AddFolder(nodes.back(), info_.Name, DateOf(info_)));
            if (staged.size() < nodes.size()) staged.push_back(std::make_unique<Staged>());
            continue;
        }
        if (t != Token::BeginObject) json_.Fail("expected a folder's array or an entry's info object");
        ReadInfo(json_, info_);
        CheckEntryName(json_, info_);
        if (info_.Excluded) {
            if (info_.MountExcluded) {
                ++stats_.Folders;
                tree_.AddFolder(nodes.back(), info_.Name, DateOf(info_));
            } else {
                ++stats_.Excluded;
            }
            continue;
        }
        ++stats_.Files;
        stats_.TotalBytes += info_.Asize;
        if (info_.HardLink) ++stats_.HardLinks;
        Staged& files = *staged[nodes.size() - 1];
        files.Names += info_.Name;
        files.NameEnds.push_back(static_cast<std::uint32_t>(files.Names.size()));
        files.Sizes.push_back(SizeKBFromBytes(info_.Asize));
        files.Dates.push_back(DateOf(info_));
    }
    // Whatever a later version adds after the top folder is not used.
    for (Token t = json_.Next(); t != Token::EndArray; t = json_.Next()) json_.SkipValue(t);
    json_.Next();  // End, or a fault after the document
    return stats_;
}

}  // namespace

std::string NcduRootName(std::string_view document)
{
    JsonReader json(document);
    Expect(json, json.Next(), Token::BeginArray, "'[' at the start of an ncdu export");
    for (int i = 0; i < 3; ++i) json.SkipValue(json.Next());
    Expect(json, json.Next(), Token::BeginArray, "the top folder's array");
    Expect(json, json.Next(), Token::BeginObject, "the top folder's info object");
    Info info;
    ReadInfo(json, info);
    return info.Name;
}

NcduImportStats ReadNcduExport(std::string_view document, CatalogTree& tree, NodeId volume, TDateTime importDate)
{
    Importer importer(document, tree, importDate);
    return importer.Run(volume);
}

}  // namespace ardvel
