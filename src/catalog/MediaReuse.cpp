#include "catalog/MediaReuse.h"

#include <sys/stat.h>

#include <vector>

#include "catalog/StoredText.h"
#include "store/DateTime.h"
#include "store/MediaInfo.h"

namespace ardvel {

namespace {

// The scanner takes a plain function; it finds its object here.
thread_local MediaReuse* t_active = nullptr;

std::string Stored(std::string_view text)
{
    return IsStoredForm(text) ? std::string(text) : AsStored(text);
}

}  // namespace

MediaReuse::MediaReuse(const CatalogTree& tree, NodeId volume, std::string scanRoot, MediaReader readTags)
    : root_(std::move(scanRoot)), readTags_(readTags ? readTags : &ReadMediaInfo), previous_(t_active)
{
    while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
    struct Pending {
        NodeId Node;
        std::string Path;  ///< below the volume, ending in "/" (empty for it)
    };
    std::vector<Pending> stack{{volume, {}}};
    while (!stack.empty()) {
        Pending p = std::move(stack.back());
        stack.pop_back();
        const FileList files = tree.Files(p.Node);
        for (const TDetails& d : files) {
            if (!files.Store().HasMedia(d)) continue;
            const TMediaInfo media{std::string(files.Store().Artist(d)), std::string(files.Store().Title(d))};
            byPath_.emplace(p.Path + Stored(files.Store().Name(d)), Old{d.SizeKB, DateTimeToDos(d.Date), media});
        }
        for (NodeId child : tree.Children(p.Node)) stack.push_back({child, p.Path + Stored(tree.Text(child)) + "/"});
    }
    t_active = this;
}

MediaReuse::~MediaReuse()
{
    t_active = previous_;
}

MediaReader MediaReuse::Reader() const noexcept
{
    return &MediaReuse::Read;
}

std::string MediaReuse::KeyOf(const std::string& path) const
{
    if (path.size() <= root_.size() || path.compare(0, root_.size(), root_) != 0) return {};
    std::string_view rest = std::string_view(path).substr(root_.size());
    while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    std::string key;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        key += Stored(rest.substr(0, slash));
        if (slash == std::string_view::npos) break;
        key += '/';
        rest.remove_prefix(slash + 1);
    }
    return key;
}

TMediaInfo MediaReuse::Read(const std::string& path)
{
    MediaReuse* self = t_active;
    if (!self) return ReadMediaInfo(path);
    const auto found = self->byPath_.find(self->KeyOf(path));
    struct stat info {};
    // The scanner records the target of a link, so stat follows it too.
    if (found != self->byPath_.end() && ::stat(path.c_str(), &info) == 0) {
        const Old& old = found->second;
        const auto bytes = static_cast<std::uint64_t>(info.st_size < 0 ? 0 : info.st_size);
        if (SizeKBFromBytes(bytes) == old.SizeKB &&
            DateTimeToDos(UnixToLocalDateTime(info.st_mtim.tv_sec, 0)) == old.Dos) {
            ++self->reused_;
            return old.Media;
        }
    }
    return self->readTags_(path);
}

}  // namespace ardvel
