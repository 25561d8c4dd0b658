// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file: what it reads, what a rewrite keeps, and that nothing
// in it can make a value read back otherwise than it was set.

#include "setup/settings.h"

#include "logbook/logfixture.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace ondelog;
using namespace ondelog::test;

TEST(Settings, ReadsEachKindOfLine)
{
    const Settings s = Settings::parse("\xEF\xBB\xBF"
                                       "premier=1\r\n"
                                       "# commentaire=non\n"
                                       "; autre=non\n"
                                       "  espacé  =  valeur avec blancs  \n"
                                       "vide=\n"
                                       "sans signe égal\n"
                                       "=sans clé\n"
                                       "double=a\n"
                                       "double=b\n"
                                       "égal=x=y\n"
                                       "accents=Été à Noël");
    const struct
    {
        const char *key;
        std::optional<std::string> value;
    } cases[] = {
        {"premier", "1"}, // after a byte order mark, before CR LF
        {"# commentaire", {}},
        {"commentaire", {}},
        {"autre", {}},
        {"espacé", "valeur avec blancs"},
        {"vide", ""},
        {"sans signe égal", {}},
        {"", {}},
        {"double", "b"}, // the last line wins
        {"égal", "x=y"},
        {"accents", "Été à Noël"}, // a last line without its end
        {"absente", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(s.value(c.key), c.value) << c.key;
}

TEST(Settings, TypedValuesFallBackOnAnythingUnusable)
{
    const Settings s = Settings::parse("o=oui\nn=NON\nv=Vrai\nz=0\nx=peut-être\n"
                                       "i=42\nneg=-3\nbig=99999999999\ndec=4.5\nsp=4 5\nplus=+4\n");
    EXPECT_TRUE(s.boolValue("o", false));
    EXPECT_FALSE(s.boolValue("n", true));
    EXPECT_TRUE(s.boolValue("v", false));
    EXPECT_FALSE(s.boolValue("z", true));
    EXPECT_TRUE(s.boolValue("x", true));
    EXPECT_FALSE(s.boolValue("x", false));
    EXPECT_FALSE(s.boolValue("absente", false));

    EXPECT_EQ(s.intValue("i", 7, 1, 100), 42);
    EXPECT_EQ(s.intValue("i", 7, 1, 41), 7); // out of range
    EXPECT_EQ(s.intValue("neg", 7, -5, 5), -3);
    for (const char *bad : {"big", "dec", "sp", "plus", "o", "absente"})
        EXPECT_EQ(s.intValue(bad, 7, 1, 100), 7) << bad;
}

TEST(Settings, ARewriteChangesOnlyTheLinesSet)
{
    const std::string original = "# Réglages d'Ondelog\r\n"
                                 "wsjtx.port=2237\r\n"
                                 "sauvegarde.jours=7\r\n"
                                 "ligne abîmée \x01\r\n"
                                 "\r\n"
                                 "clé.future=valeur";
    Settings s = Settings::parse(original);
    EXPECT_EQ(s.text(), original);

    ASSERT_TRUE(s.setInt("sauvegarde.jours", 3));
    ASSERT_TRUE(s.setBool("sauvegarde.automatique", false));
    EXPECT_EQ(s.text(), "# Réglages d'Ondelog\r\n"
                        "wsjtx.port=2237\r\n"
                        "sauvegarde.jours=3\r\n"
                        "ligne abîmée \x01\r\n"
                        "\r\n"
                        "clé.future=valeur\n"
                        "sauvegarde.automatique=non\n");

    s.remove("wsjtx.port");
    EXPECT_FALSE(s.value("wsjtx.port"));
    EXPECT_EQ(s.text().find("wsjtx"), std::string::npos);
}

TEST(Settings, RefusesWhatWouldNotReadBack)
{
    Settings s;
    for (const char *key : {"", "=", "a=b", "#clé", ";clé", " clé", "clé ", "a\nb", "a\rb"})
        EXPECT_FALSE(s.setValue(key, "v")) << key;
    EXPECT_FALSE(s.setValue(std::string_view("a\0b", 3), "v"));
    for (const char *value : {"a\nautre=1", "a\r", " a", "a "})
        EXPECT_FALSE(s.setValue("clé", value)) << value;
    EXPECT_FALSE(s.setValue("clé", std::string_view("a\0b", 3)));
    EXPECT_EQ(s.text(), "");

    ASSERT_TRUE(s.setValue("clé", "x = y ; # z"));
    EXPECT_EQ(Settings::parse(s.text()).value("clé"), "x = y ; # z");
}

TEST(Settings, LoadAndSaveTheFile)
{
    TempDir dir;
    const auto file = settingsPath(dir.path());
    EXPECT_EQ(file.filename(), "Reglages.ini");

    Settings missing = Settings::load(file);
    EXPECT_EQ(missing.source(), Settings::Source::Empty);
    ASSERT_TRUE(missing.setValue("a", "1"));
    ASSERT_TRUE(missing.save(file));
    EXPECT_EQ(fileBytes(file), "a=1\n");
    EXPECT_EQ(Settings::load(file).source(), Settings::Source::File);
    EXPECT_EQ(Settings::load(file).value("a"), "1");

    // Not settings at all: read as none, never as a partial reading.
    writeBytes(file, std::string(300 * 1024, 'x') + "\na=2\n");
    EXPECT_EQ(Settings::load(file).source(), Settings::Source::Unusable);
    EXPECT_FALSE(Settings::load(file).value("a"));
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_EQ(Settings::load(file).source(), Settings::Source::Unusable);
    EXPECT_FALSE(missing.save(file));
}
