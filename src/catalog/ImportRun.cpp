#include "catalog/ImportRun.h"

#include <fcntl.h>
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

/// The whole file; CatalogError with the runtime's text when it cannot be
/// read.
std::string ReadWholeFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw CatalogError(IoErrorText(errno), path);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) throw CatalogError(kFileAccessDenied, path);
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw CatalogError(IoErrorText(errno), path);
        }
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

}  // namespace

std::string ImportLabel(const std::string& rootName)
{
    std::string text = rootName;
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    const std::size_t slash = text.rfind('/');
    return slash == std::string::npos || text == "/" ? text : text.substr(slash + 1);
}

ImportResult ImportNcduFile(CatalogTree& tree, const std::string& catalogFolder, UserPrompt& prompt,
                            const std::string& file, const std::string& volumeName, const Locale& locale)
{
    ImportResult result;
    const std::string document = ReadWholeFile(file);
    std::string label;
    try {
        label = ImportLabel(NcduRootName(document));
    } catch (const JsonError& e) {
        throw CatalogError(e.Describe(), file);
    }
    result.VolumeName = volumeName.empty() ? label : volumeName;

    const EncodedVolumeName encoded = EncodeVolumeName(result.VolumeName);
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
