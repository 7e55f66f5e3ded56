#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "store/CatalogError.h"
#include "store/CatalogFile.h"
#include "support/TempDir.h"

namespace ardvel {
namespace {

using test::TempDir;

/// The message of the CatalogError that writing a catalog to `path` throws,
/// or "" when the file was written.
std::string WriteFailure(const std::string& path)
{
    try {
        CatalogWriter writer(path);
        writer.WriteHeader("L", 45000.0);
        writer.Commit();
    } catch (const CatalogError& e) {
        EXPECT_EQ(e.Path(), path);
        return e.what();
    }
    return {};
}

std::string Denied(int error)
{
    return std::string("File access denied: ") + std::strerror(error);
}

TEST(CatalogWriteErrors, AccessDeniedCarriesTheSystemsReason)
{
    TempDir dir;
    // A loop of links where the folder should be.
    std::filesystem::create_symlink("loop", dir.File("loop"));
    EXPECT_EQ(WriteFailure(dir.File("loop") + "/V.arv"), Denied(ELOOP));

    // A folder nobody may write to; root writes anyway.
    const std::string locked = dir.File("locked");
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::geteuid() != 0) {
        EXPECT_EQ(WriteFailure(locked + "/V.arv"), Denied(EACCES));
    }
    std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}

TEST(CatalogWriteErrors, TheSpecificTextsStayAsTheyWere)
{
    TempDir dir;
    test::WriteBytes(dir.File("plain"), "x");
    // A file where a folder should be, and a folder that is not there.
    EXPECT_EQ(WriteFailure(dir.File("plain") + "/V.arv"), kFileNotFound);
    EXPECT_EQ(WriteFailure(dir.File("gone") + "/V.arv"), kFileNotFound);
    EXPECT_EQ(WriteFailure(dir.File("V.arv")), "");
}

}  // namespace
}  // namespace ardvel
