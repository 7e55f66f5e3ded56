#include "catalog/ImportRun.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "catalog/NameChecks.h"
#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "store/DateTime.h"
#include "store/LoadCatalogs.h"
#include "store/VolumeName.h"

namespace ardvel {

namespace {

/// A file mapped whole for reading, unmapped when it goes; CatalogError
/// with the runtime's text when it cannot be read.
class MappedFile {
public:
    explicit MappedFile(const std::string& path)
    {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw CatalogError(IoErrorText(errno), path);
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            ::close(fd);
            throw CatalogError(kFileAccessDenied, path);
        }
        size_ = static_cast<std::size_t>(info.st_size);
        if (size_ > 0) {
            void* map = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            const int error = errno;
            ::close(fd);
            if (map == MAP_FAILED) throw CatalogError(IoErrorText(error), path);
            data_ = static_cast<const char*>(map);
        } else {
            ::close(fd);
        }
    }
    ~MappedFile()
    {
        if (data_) ::munmap(const_cast<char*>(data_), size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    std::string_view Text() const noexcept { return {data_ ? data_ : "", size_}; }

private:
    const char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace

std::string ImportLabel(const std::string& rootName)
{
    std::string text = rootName;
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    const std::size_t slash = text.rfind('/');
    return slash == std::string::npos || text == "/" ? text : text.substr(slash + 1);
}

namespace {

std::string LabelOf(std::string_view document, const std::string& file)
{
    try {
        return ImportLabel(NcduRootName(document));
    } catch (const JsonError& e) {
        throw CatalogError(e.Describe(), file);
    }
}

}  // namespace

std::string ProposedImportName(const std::string& file)
{
    const MappedFile mapped(file);
    return LabelOf(mapped.Text(), file);
}

ImportResult ImportNcduFile(CatalogTree& tree, const std::string& catalogFolder, UserPrompt& prompt,
                            const std::string& file, const std::string& volumeName, const Locale& locale,
                            const std::function<void()>& treeChanging)
{
    ImportResult result;
    const MappedFile mapped(file);
    const std::string_view document = mapped.Text();
    const std::string label = LabelOf(document, file);
    result.VolumeName = volumeName.empty() ? label : volumeName;

    const EncodedVolumeName encoded = EncodeNewVolumeName(result.VolumeName);
    if (encoded.Refused) {
        prompt.ShowError(encoded.Message);
        return result;
    }
    if (!VolumeNameIsFree(tree, result.VolumeName, prompt, locale)) return result;
    if (!CatalogFileNameIsFree(tree, catalogFolder, encoded.Stem, prompt)) return result;
    if (IsAlreadyCatalogued(catalogFolder, label) && !prompt.Confirm(kAlreadyCataloguedQuestion)) {
        result.Outcome = ImportOutcome::Declined;
        return result;
    }

    if (treeChanging) treeChanging();
    const TDateTime date = NowLocal();
    const NodeId volume = tree.AddVolume(result.VolumeName, date);
    try {
        // Dates without mtime are the import's, as the catalog file keeps it.
        result.Stats = ReadNcduExport(document, tree, volume, DosToDateTime(DateTimeToDos(date)));
    } catch (const JsonError& e) {
        tree.RemoveNode(volume);
        throw CatalogError(e.Describe(), file);
    }

    const std::string fileName = encoded.Stem + ".arv";
    result.CatalogPath = catalogFolder + fileName;
    try {
        CatalogWriter writer(result.CatalogPath);
        writer.WriteHeader(label, date);
        writer.WriteTree(tree, volume);
        writer.Commit();
    } catch (const CatalogError&) {
        tree.RemoveNode(volume);
        throw;
    }
    tree.SetCatalogFileName(volume, fileName);
    SortCatalogTree(tree, locale);
    result.Volume = volume;
    result.Outcome = ImportOutcome::Imported;
    return result;
}

}  // namespace ardvel
