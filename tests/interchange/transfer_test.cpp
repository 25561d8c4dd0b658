// SPDX-License-Identifier: GPL-3.0-or-later
// Import into a log and export from it: what is skipped and why, and that a
// failure, a cancellation or a kill never leaves a half-written file.

#include "interchange/adiftransfer.h"
#include "tests/interchange/adifhelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace ondelog::test {
namespace {

std::string adiContact(const std::string &call, const std::string &date, const std::string &time)
{
    return "<CALL:" + std::to_string(call.size()) + ">" + call +
           "<QSO_DATE:" + std::to_string(date.size()) + ">" + date + "<TIME_ON:4>" + time +
           "<EOR>\n";
}

/** An ADI file of `count` contacts F0001..., one a minute from 2024-03-14 00:00. */
std::string adiContacts(int count)
{
    std::string text = "Cumulative log\n<EOH>\n";
    for (int i = 0; i < count; ++i) {
        char time[5];
        std::snprintf(time, sizeof time, "%02d%02d", (i / 60) % 24, i % 60);
        text += adiContact("F" + std::to_string(10000 + i).substr(1), "20240314", time);
    }
    return text;
}

/** Runs `work` in a child process and returns how it ended (the wait status). */
template <typename Work> int inChild(Work work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

TEST(AdifImport, CountsEachReasonToSkip)
{
    TempDir dir;
    const auto log = dir.file("F6ABC.Ham");
    QsoRecord known = makeContact(1);
    known.setField(Field::CSGN, "F5XYZ");
    known.setField(Field::DQSO, "14/03/24");
    known.setField(Field::HDEB, "18:42");
    writeRecords(log, {known});

    const std::string file = "header <EOH>\n" +
                             adiContact("f5xyz", "20240314", "1842") + // already in the log
                             adiContact("F4AAA", "20240314", "1900") + // new
                             adiContact("F4AAA", "20240314", "1900") + // twice in the file
                             "<QSO_DATE:8>20240314<EOR>\n" +           // no call sign
                             adiContact("F4BBB", "19591231", "1000") + // date before 1960
                             adiContact("F4CCC", "20600101", "1000") + // date after 2059
                             "<CALL:5>F4DDD<EOR>\n" +                  // no date at all
                             "<CALL:5>F4EEE<NAME:40>x<EOR>\n" +        // damaged
                             adiContact("F4FFF", "20591231", "2359") + // new
                             "<CALL:5>F4GGG<QSO_DATE:8>20240314";      // damaged: no end
    writeBytes(dir.file("in.adi"), file);

    const ImportResult r = importInto(log, dir.file("in.adi"));
    EXPECT_EQ(r.status, LogStatus::Ok);
    EXPECT_EQ(r.imported, 2);
    EXPECT_EQ(r.alreadyInLog, 2);
    EXPECT_EQ(r.noCallSign, 1);
    EXPECT_EQ(r.dateNotWritable, 3);
    EXPECT_EQ(r.damaged, 2);
    const auto records = readRecords(log);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(recordBytes(records[0]), recordBytes(known));
    EXPECT_EQ(records[1].field(Field::CSGN), "F4AAA");
    EXPECT_EQ(records[2].field(Field::DQSO), "31/12/59");
    EXPECT_EQ(records[2].field(Field::MLOC), kStationLocator);
    EXPECT_EQ(fileBytes(log).size(), 4 * kRecordSize); // one end marker, nothing after it

    EXPECT_EQ(importSummaryUtf8(r), "2 contacts ajoutés au log.\n"
                                    "8 contacts écartés :\n"
                                    "  – déjà dans le log : 2\n"
                                    "  – sans indicatif : 1\n"
                                    "  – date absente ou hors de 1960 à 2059, impossible à "
                                    "écrire : 3\n"
                                    "  – fiche endommagée dans le fichier : 2");
}

TEST(AdifImport, TheSameCumulativeFileAddsOnlyTheNewContacts)
{
    TempDir dir;
    const auto log = dir.file("F6ABC.Ham");
    writeLog(log, 5);
    writeBytes(dir.file("wsjt.adi"), adiContacts(100));
    EXPECT_EQ(importInto(log, dir.file("wsjt.adi")).imported, 100);

    const std::string before = fileBytes(log);
    const ImportResult again = importInto(log, dir.file("wsjt.adi"));
    EXPECT_EQ(again.imported, 0);
    EXPECT_EQ(again.alreadyInLog, 100);
    EXPECT_EQ(fileBytes(log), before); // not even rewritten

    writeBytes(dir.file("wsjt.adi"), adiContacts(130));
    EXPECT_EQ(importInto(log, dir.file("wsjt.adi")).imported, 30);
    EXPECT_EQ(readRecords(log).size(), 135u);
}

// A contest log as N1MM+ writes it: seconds in the times, and one station
// worked on two bands within a minute, which makes two contacts.
TEST(AdifImport, AStationOnTwoBandsInOneMinuteIsTwoContacts)
{
    TempDir dir;
    const auto log = dir.file("F6ABC.Ham");
    writeRecords(log, {});
    auto n1mm = [](const char *call, const char *time, const char *band, const char *freq) {
        return std::string("<CALL:") + std::to_string(std::strlen(call)) + ">" + call +
               " <QSO_DATE:8>20240314 <TIME_ON:6>" + time + " <BAND:3>" + band +
               " <FREQ:" + std::to_string(std::strlen(freq)) + ">" + freq +
               " <MODE:2>CW <RST_SENT:3>599 <RST_RCVD:3>599 <STX:1>1 <SRX_STRING:2>18 <EOR>\r\n";
    };
    writeBytes(
        dir.file("contest.adi"),
        "N1MM Logger+ ADIF Export\r\n<ADIF_VER:5>3.1.0 <PROGRAMID:12>N1MM Logger+ <EOH>\r\n" +
            n1mm("OH2BH", "000512", "20M", "14.02510") + n1mm("OH2BH", "000548", "40M", "7.02350") +
            n1mm("DL1ABC", "000548", "20M", "14.03100") +
            n1mm("OH2BH", "000612", "20M", "14.02510"));
    const ImportResult first = importInto(log, dir.file("contest.adi"));
    EXPECT_EQ(first.imported, 4);
    EXPECT_EQ(first.alreadyInLog, 0);
    const std::string after = fileBytes(log);

    // The same file again, and a program's record of OH2BH without a band:
    // nothing new, the log not even rewritten.
    EXPECT_EQ(importInto(log, dir.file("contest.adi")).alreadyInLog, 4);
    writeBytes(dir.file("noband.adi"), adiContact("OH2BH", "20240314", "0005"));
    const ImportResult noBand = importInto(log, dir.file("noband.adi"));
    EXPECT_EQ(noBand.imported, 0);
    EXPECT_EQ(noBand.alreadyInLog, 1);
    EXPECT_EQ(fileBytes(log), after);
    EXPECT_EQ(readRecords(log).size(), 4u);
}

// A LoTW report: a header of its own, then one record per confirmed contact.
std::string lotwRecord(const std::string &call, const std::string &band, const std::string &mode,
                       const std::string &date, const std::string &time,
                       const std::string &confirmed)
{
    auto field = [](const std::string &name, const std::string &value) {
        return "<" + name + ":" + std::to_string(value.size()) + ">" + value + "\n";
    };
    return "<APP_LoTW_OWNCALL:5>F6XYZ\n" + field("CALL", call) + field("BAND", band) +
           field("MODE", mode) + "<APP_LoTW_MODEGROUP:4>DATA\n" + field("QSO_DATE", date) +
           field("TIME_ON", time) + "<QSL_RCVD:1>Y\n" + field("QSLRDATE", confirmed) + "<eor>\n\n";
}

const char *kLotwHeader = "ARRL Logbook of the World Status Report\n"
                          "<PROGRAMID:4>LoTW\n<APP_LoTW_NUMREC:1>3\n\n<eoh>\n\n";

TEST(AdifImport, ALotwReportConfirmsTheContactsOfTheLogOnce)
{
    TempDir dir;
    const auto log = dir.file("F6XYZ.Ham");
    std::vector<QsoRecord> contacts;
    for (const auto &[call, date, freq, sqsl] : {std::tuple{"F5ABC", "10/03/24", "14.074", ""},
                                                 {"DL1XYZ", "11/03/24", "7,074", ""},
                                                 {"G4ABC", "12/03/24", "14.2", "05/04/24"},
                                                 {"EA5XX", "13/03/24", "14.2", ""}}) {
        QsoRecord r = makeContact(1);
        r.setField(Field::CSGN, call);
        r.setField(Field::DQSO, date);
        r.setField(Field::HDEB, "18:42");
        r.setField(Field::FREQ, freq);
        r.setField(Field::SQSL, sqsl);
        contacts.push_back(r);
    }
    writeRecords(log, contacts);
    const auto report = dir.file("lotwreport.adi");
    writeBytes(report, kLotwHeader +
                           lotwRecord("F5ABC", "20M", "FT8", "20240310", "184215", "20240320") +
                           lotwRecord("DL1XYZ", "40M", "FT8", "20240311", "184200", "20240321") +
                           lotwRecord("JA1ABC", "20M", "FT4", "20240312", "010000", "20240322"));

    const ImportResult r = importInto(log, report);
    EXPECT_EQ(r.status, LogStatus::Ok);
    EXPECT_EQ(r.imported, 1);
    EXPECT_EQ(r.confirmed, 2);
    EXPECT_EQ(r.alreadyInLog, 0);
    EXPECT_EQ(importSummaryUtf8(r), "1 contact ajouté au log.\n"
                                    "2 contacts confirmés : la date de réception de leur QSL est "
                                    "notée dans le log.");
    std::vector<QsoRecord> expected = contacts;
    expected[0].setField(Field::SQSL, "20/03/24");
    expected[1].setField(Field::SQSL, "21/03/24");
    const auto records = readRecords(log);
    ASSERT_EQ(records.size(), 5u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(recordBytes(records[i]), recordBytes(expected[i])) << i;
    EXPECT_EQ(records[4].field(Field::CSGN), "JA1ABC");
    EXPECT_EQ(records[4].field(Field::SQSL), "22/03/24");
    EXPECT_EQ(fileBytes(log).size(), 6 * kRecordSize);

    // Imported twice: nothing changes the second time.
    const std::string after = fileBytes(log);
    const ImportResult again = importInto(log, report);
    EXPECT_EQ(again.imported + again.confirmed + again.differingConfirmations, 0);
    EXPECT_EQ(again.alreadyInLog, 3);
    EXPECT_EQ(fileBytes(log), after);

    // A date that differs from the one the log holds is never written over: it
    // is counted and listed.
    writeBytes(report, kLotwHeader +
                           lotwRecord("G4ABC", "20M", "SSB", "20240312", "1842", "20240406") +
                           lotwRecord("F5ABC", "20M", "FT8", "20240310", "1842", "20240401"));
    const ImportResult differing = importInto(log, report);
    EXPECT_EQ(differing.differingConfirmations, 2);
    EXPECT_EQ(differing.confirmed + differing.imported, 0);
    EXPECT_EQ(fileBytes(log), after);
    EXPECT_EQ(importSummaryUtf8(differing),
              "0 contact ajouté au log.\n"
              "2 confirmations laissées de côté, le log en note déjà d'autres :\n"
              "  – G4ABC du 12/03/24 à 18:42 : 05/04/24 dans le log, 06/04/24 dans le fichier\n"
              "  – F5ABC du 10/03/24 à 18:42 : 20/03/24 dans le log, 01/04/24 dans le fichier");
}

TEST(AdifImport, CancelledOrFailedLeavesTheLogAsItWas)
{
    TempDir dir;
    const auto log = dir.file("F6ABC.Ham");
    writeLog(log, 50);
    const std::string before = fileBytes(log);
    writeBytes(dir.file("big.adi"), adiContacts(2000));

    ImportOptions options{kStationLocator,
                          [](std::uint64_t done, std::uint64_t total) { return done < total / 2; }};
    const ImportResult cancelled = importAdif(log, dir.file("big.adi"), options);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(fileBytes(log), before);

    const ImportResult missing = importInto(log, dir.file("none.adi"));
    EXPECT_EQ(missing.status, LogStatus::NotFound);
    EXPECT_EQ(fileBytes(log), before);

    // Disk full half-way: the file size limit makes every write past it fail.
    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{before.size() + 100 * kRecordSize, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const ImportResult full = importInto(log, dir.file("big.adi"));
        ::_exit(full.status == LogStatus::DiskFull ? 0 : 1);
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(fileBytes(log), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

// A long damaged region gives no record for megabytes: progress, and a
// cancellation, still come with every block of the file.
TEST(AdifImport, ProgressComesWithEveryBlockOfADamagedRegion)
{
    TempDir dir;
    const auto log = dir.file("F6ABC.Ham");
    writeLog(log, 5);
    const std::string before = fileBytes(log);
    const std::string file = "<CALL:5>F6ABC" + std::string(4 << 20, 'x');
    writeBytes(dir.file("damaged.adi"), file);

    std::vector<std::uint64_t> told;
    auto record = [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_EQ(total, file.size());
        told.push_back(done);
        return true;
    };
    const ImportResult whole = importAdif(log, dir.file("damaged.adi"), {kStationLocator, record});
    EXPECT_EQ(whole.damaged, 1);
    EXPECT_GE(told.size(), file.size() / (64 * 1024));
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_EQ(told.back(), file.size());

    told.clear();
    const ImportResult cancelled =
        importAdif(log, dir.file("damaged.adi"),
                   {kStationLocator, [&](std::uint64_t done, std::uint64_t total) {
                        return record(done, total) && told.size() < 3;
                    }});
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_EQ(told.size(), 3u);
    EXPECT_EQ(fileBytes(log), before);
}

TEST(AdifImport, AKillAtAnyMomentLeavesAWholeLog)
{
    TempDir dir;
    const auto log = dir.file("F6ABC.Ham");
    writeLog(log, 50);
    const std::string before = fileBytes(log);
    writeBytes(dir.file("big.adi"), adiContacts(3000));

    // Killed before the first, the second and the last block of the file is
    // read: never half an import.
    const std::uint64_t blocks = fileBytes(dir.file("big.adi")).size() / (64 * 1024) + 1;
    ASSERT_GE(blocks, 3u);
    for (const std::uint64_t killAt : {std::uint64_t{1}, std::uint64_t{2}, blocks}) {
        const int status = inChild([&] {
            std::uint64_t calls = 0;
            ImportOptions options{kStationLocator, [&](std::uint64_t, std::uint64_t) {
                                      if (++calls >= killAt)
                                          ::raise(SIGKILL);
                                      return true;
                                  }};
            importAdif(log, dir.file("big.adi"), options);
        });
        ASSERT_TRUE(WIFSIGNALED(status)) << killAt;
        EXPECT_EQ(fileBytes(log), before) << killAt;
    }
    // Killed right after the import: the log holds every contact.
    const int status = inChild([&] {
        importInto(log, dir.file("big.adi"));
        ::raise(SIGKILL);
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    const auto records = readRecords(log);
    ASSERT_EQ(records.size(), 3050u);
    EXPECT_EQ(records.back().field(Field::CSGN), "F2999");
    EXPECT_EQ(fileBytes(log).size(), 3051 * kRecordSize);
}

TEST(AdifExport, AFailureLeavesNoFileUnderTheChosenName)
{
    TempDir dir;
    const auto log = dir.file("F6ABC.Ham");
    writeLog(log, 3000);
    const auto target = dir.file("out.adi");
    writeBytes(target, "an older export");

    const int status = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const ExportResult r = exportAdif(log, target, AdifFormat::Adi, {"F6ABC", "", {}});
        ::_exit(r.status == LogStatus::DiskFull && r.exported == 0 ? 0 : 1);
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(fileBytes(target), "an older export");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

    const ExportResult noFolder =
        exportAdif(log, dir.file("none") / "out.adx", AdifFormat::Adx, {"F6ABC", "", {}});
    EXPECT_EQ(noFolder.status, LogStatus::NotFound);
    EXPECT_EQ(exportSummaryUtf8(noFolder, "out.adx"),
              "L'export dans « out.adx » a échoué, aucun fichier n'a été écrit :\n"
              "Le fichier est introuvable.");

    const std::string logBefore = fileBytes(log);
    const ExportResult overLog = exportAdif(log, log, AdifFormat::Adi, {"F6ABC", "", {}});
    EXPECT_EQ(overLog.status, LogStatus::AccessDenied);
    EXPECT_EQ(fileBytes(log), logBefore);

    const ExportResult done = exportAdif(log, target, AdifFormat::Adx, {"F6ABC", "", {}});
    EXPECT_EQ(exportSummaryUtf8(done, "out.adx"), "3000 contacts exportés dans « out.adx ».");
}

} // namespace
} // namespace ondelog::test
