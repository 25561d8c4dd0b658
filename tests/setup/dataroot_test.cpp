// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/dataroot.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace ondelog;

namespace {

std::optional<std::string> optionOf(std::vector<const char *> args)
{
    args.insert(args.begin(), "ondelog");
    return rootOption(static_cast<int>(args.size()), args.data());
}

} // namespace

TEST(DataRoot, RootOptionForms)
{
    EXPECT_EQ(optionOf({}), std::nullopt);
    EXPECT_EQ(optionOf({"--root", "/srv/radio"}), "/srv/radio");
    EXPECT_EQ(optionOf({"--root=/srv/radio"}), "/srv/radio");
    EXPECT_EQ(optionOf({"--root"}), std::nullopt); // no value follows
    EXPECT_EQ(optionOf({"--rooted", "/x"}), std::nullopt);
    EXPECT_EQ(optionOf({"--root", "/a", "--root=/b"}), "/b");
    EXPECT_EQ(optionOf({"-style", "fusion", "--root", "/a"}), "/a");
}

TEST(DataRoot, OptionThenEnvironmentThenHome)
{
    const std::optional<std::string> none;
    EXPECT_EQ(resolveDataRoot("/opt", "/env", "/home/op"), "/opt");
    EXPECT_EQ(resolveDataRoot(none, "/env", "/home/op"), "/env");
    EXPECT_EQ(resolveDataRoot(none, none, "/home/op"), "/home/op");
    EXPECT_EQ(resolveDataRoot(none, none, none), ".");
    // An empty value is an unset one, not the current folder.
    EXPECT_EQ(resolveDataRoot("", "", "/home/op"), "/home/op");
    EXPECT_EQ(resolveDataRoot(none, "", none), ".");
}

TEST(DataRoot, ProcessRootIsAbsoluteAndHoldsTheProgramFolder)
{
    const char *saved = std::getenv("ONDELOG_ROOT");
    const std::string savedValue = saved ? saved : "";
    ::setenv("ONDELOG_ROOT", "/tmp/ondelog-env-root", 1);

    const char *plain[] = {"ondelog"};
    EXPECT_EQ(dataRootFromEnvironment(1, plain), "/tmp/ondelog-env-root");
    const char *relative[] = {"ondelog", "--root", "radio/../station"};
    const std::filesystem::path root = dataRootFromEnvironment(3, relative);
    EXPECT_TRUE(root.is_absolute());
    EXPECT_EQ(root.filename(), "station");
    EXPECT_EQ(programFolder(root), root / "Ondelog");

    if (saved)
        ::setenv("ONDELOG_ROOT", savedValue.c_str(), 1);
    else
        ::unsetenv("ONDELOG_ROOT");
}
