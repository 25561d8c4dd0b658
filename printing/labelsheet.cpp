// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/labelsheet.h"

#include "logbook/fileio.h"
#include "logbook/recordreader.h"
#include "logbook/regularfile.h"
#include "logbook/safefile.h"
#include "text/text.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <unistd.h>

namespace ondelog {

namespace {

struct LabelLayout
{
    std::size_t offset;
    std::size_t width;
};

constexpr std::array<LabelLayout, 11> kLayout = {{
    {0, 0},
    {0, 15},
    {15, 15},
    {30, 15},
    {45, 15},
    {60, 8},
    {68, 5},
    {73, 10},
    {83, 8},
    {91, 5},
    {96, 10},
}};

const LabelLayout &layout(LabelField f)
{
    return kLayout.at(static_cast<std::size_t>(f));
}

std::int64_t recordOffset(int n)
{
    return std::int64_t(n - 1) * std::int64_t(kLabelRecordSize);
}

} // namespace

LabelRecord::LabelRecord() : m_bytes(kLabelRecordSize, ' ')
{
    setField(LabelField::CallSign, kFreeLabelMark);
}

LabelRecord LabelRecord::fromBytes(std::string_view bytes)
{
    LabelRecord r;
    r.m_bytes = fixedWidth(bytes.substr(0, kLabelRecordSize), kLabelRecordSize);
    return r;
}

std::string LabelRecord::field(LabelField f) const
{
    const LabelLayout &l = layout(f);
    return trim(std::string_view(m_bytes).substr(l.offset, l.width));
}

void LabelRecord::setField(LabelField f, std::string_view value)
{
    const LabelLayout &l = layout(f);
    m_bytes.replace(l.offset, l.width, fixedWidth(value, l.width));
}

bool LabelRecord::isFree() const
{
    // A call sign of nothing but blanks or zero bytes (a damaged or sparse
    // file) confirms nobody: such a slot is free rather than a blank label.
    const std::string call = field(LabelField::CallSign);
    return call == kFreeLabelMark ||
           call.find_first_not_of(std::string_view(" \0", 2)) == std::string::npos;
}

bool labelNames(const LabelRecord &label, const QsoRecord &contact)
{
    const std::string call = label.field(LabelField::CallSign);
    return !call.empty() && toUpperCp1252(contact.field(Field::CSGN)) == toUpperCp1252(call) &&
           contact.field(Field::DQSO) == label.field(LabelField::Date) &&
           contact.field(Field::HDEB) == label.field(LabelField::Time);
}

LabelContacts findLabelContacts(LogFile &log, const std::vector<LabelRecord> &labels,
                                std::string_view state)
{
    LabelContacts result;
    result.recordNos.assign(labels.size(), 0);
    if (!log.isOpen()) {
        result.status = LogStatus::NotOpen;
        return result;
    }
    const std::int32_t count = log.recordCount();
    struct Wanted
    {
        std::string call; // upper case
        std::int32_t hint = 0;
        int rank = -1; // of the contact found so far
    };
    std::vector<Wanted> wanted(labels.size());
    bool any = false;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (labels[i].isFree())
            continue;
        wanted[i].call = toUpperCp1252(labels[i].field(LabelField::CallSign));
        const double number = numericValue(labels[i].field(LabelField::QsoNumber));
        if (std::isfinite(number) && number == std::floor(number) && number >= 1 && number <= count)
            wanted[i].hint = static_cast<std::int32_t>(number);
        any = true;
    }
    if (!any || count < 1)
        return result;

    RecordReader reader;
    result.status = reader.open(log.path());
    if (result.status != LogStatus::Ok)
        return result;
    QsoRecord contact;
    result.status = reader.forEach(1, count, [&](std::int32_t n, const char *bytes) {
        std::copy_n(bytes, kRecordSize, contact.bytes().data());
        const std::string call = toUpperCp1252(contact.field(Field::CSGN));
        for (std::size_t i = 0; i < labels.size(); ++i) {
            Wanted &w = wanted[i];
            if (w.call != call || !labelNames(labels[i], contact))
                continue;
            const int rank = (contact.field(Field::MQSL) == state ? 2 : 0) + (n == w.hint ? 1 : 0);
            if (rank > w.rank) {
                w.rank = rank;
                result.recordNos[i] = n;
            }
        }
    });
    if (result.status != LogStatus::Ok)
        result.recordNos.assign(labels.size(), 0);
    return result;
}

namespace {

ContactResult failed(LogStatus status)
{
    ContactResult result;
    result.update = ContactUpdate::Failed;
    result.status = status == LogStatus::Ok ? LogStatus::IoError : status;
    return result;
}

// Refused before anything is read or written: a log opened for reading is
// another station's, a copy, or on a medium that cannot take it.
std::optional<ContactResult> refusal(const LogFile &log)
{
    if (!log.isOpen())
        return failed(LogStatus::NotOpen);
    if (log.isReadOnly())
        return failed(LogStatus::ReadOnly);
    return std::nullopt;
}

ContactResult writeQsl(LogFile &log, std::int32_t n, std::string_view value)
{
    if (n < 1) {
        ContactResult result;
        result.update = ContactUpdate::NoContact;
        return result;
    }
    std::optional<QsoRecord> record = log.readRecord(n);
    if (!record)
        return failed(log.lastStatus());
    ContactResult result;
    result.recordNo = n;
    record->setField(Field::MQSL, value);
    result.status = log.writeRecord(n, *record);
    // On the disk before the sheet, synced next, forgets the label: after a
    // crash the contact never lacks a state its label no longer carries.
    if (result.status == LogStatus::Ok)
        result.status = log.sync();
    result.update = result.status == LogStatus::Ok ? ContactUpdate::Written : ContactUpdate::Failed;
    return result;
}

} // namespace

ContactResult updateContactQsl(LogFile &log, const LabelRecord &label, std::string_view value,
                               std::string_view state)
{
    if (const std::optional<ContactResult> refused = refusal(log))
        return *refused;
    const LabelContacts found = findLabelContacts(log, {label}, state);
    if (found.status != LogStatus::Ok)
        return failed(found.status);
    return writeQsl(log, found.recordNos.front(), value);
}

LabelSheet::LabelSheet(std::filesystem::path file) : m_path(std::move(file))
{
    m_states.fill(SlotState::Free);
}

LogStatus LabelSheet::load()
{
    m_states.fill(SlotState::Free);
    m_loaded = true;
    const std::size_t fullSize = kLabelCount * kLabelRecordSize;
    std::string bytes(fullSize, '\0');
    std::size_t got = 0;

    const OpenedFile file = openRegularFile(m_path, O_RDONLY);
    const int fd = file.fd;
    if (fd < 0 && file.error != ENOENT)
        return file.status();
    if (fd >= 0) {
        const LogStatus status = readAt(fd, 0, bytes.data(), fullSize, got);
        ::close(fd);
        if (status != LogStatus::Ok)
            return status;
    }

    const int wholeRecords = int(got / kLabelRecordSize);
    for (int n = 1; n <= wholeRecords; ++n) {
        const LabelRecord label = LabelRecord::fromBytes(
            std::string_view(bytes).substr(recordOffset(n), kLabelRecordSize));
        if (!label.isFree())
            m_states[n] = SlotState::Occupied;
    }
    if (wholeRecords == kLabelCount)
        return LogStatus::Ok;

    // A missing file, or one cut short: the records it lacks are free labels.
    // Written whole and renamed, so that a failure leaves the old file as it was.
    const std::string freeRecord = LabelRecord().bytes();
    for (int n = wholeRecords + 1; n <= kLabelCount; ++n)
        bytes.replace(recordOffset(n), kLabelRecordSize, freeRecord);
    SafeFileWriter writer(m_path);
    LogStatus status = writer.open();
    if (status == LogStatus::Ok)
        status = writer.write(bytes.data(), bytes.size());
    if (status == LogStatus::Ok)
        status = writer.commit();
    return status;
}

SlotState LabelSheet::state(int n) const
{
    if (n < 1 || n > kLabelCount)
        return SlotState::Withdrawn;
    return m_states[std::size_t(n)];
}

std::optional<int> LabelSheet::findFree(int start) const
{
    for (int n = std::max(start, 1); n <= kLabelCount; ++n)
        if (m_states[std::size_t(n)] == SlotState::Free)
            return n;
    return std::nullopt;
}

bool LabelSheet::hasOccupied() const
{
    for (int n = 1; n <= kLabelCount; ++n)
        if (m_states[std::size_t(n)] == SlotState::Occupied)
            return true;
    return false;
}

void LabelSheet::toggleWithdrawn(int n)
{
    if (n < 1 || n > kLabelCount)
        return;
    SlotState &s = m_states[std::size_t(n)];
    if (s == SlotState::Free)
        s = SlotState::Withdrawn;
    else if (s == SlotState::Withdrawn)
        s = SlotState::Free;
}

void LabelSheet::restoreWithdrawn()
{
    for (int n = 1; n <= kLabelCount; ++n)
        if (m_states[std::size_t(n)] == SlotState::Withdrawn)
            m_states[std::size_t(n)] = SlotState::Free;
}

std::optional<LabelRecord> LabelSheet::read(int n) const
{
    if (n < 1 || n > kLabelCount)
        return std::nullopt;
    const int fd = openRegularFile(m_path, O_RDONLY).fd;
    if (fd < 0)
        return std::nullopt;
    std::string bytes(kLabelRecordSize, ' ');
    std::size_t got = 0;
    const LogStatus status = readAt(fd, recordOffset(n), bytes.data(), bytes.size(), got);
    ::close(fd);
    if (status != LogStatus::Ok || got < kLabelRecordSize)
        return std::nullopt;
    return LabelRecord::fromBytes(bytes);
}

LogStatus LabelSheet::write(int n, const LabelRecord &label)
{
    const OpenedFile file = openRegularFile(m_path, O_WRONLY | O_CREAT, 0644);
    const int fd = file.fd;
    if (fd < 0)
        return file.status();
    const std::string &bytes = label.bytes();
    LogStatus status = LogStatus::Ok;
    if (fileio::pwriteAll(fd, bytes.data(), bytes.size(), recordOffset(n)) != 0)
        status = statusFromErrno(errno);
    if (status == LogStatus::Ok && fileio::fdatasync(fd) != 0)
        status = statusFromErrno(errno);
    if (::close(fd) != 0 && status == LogStatus::Ok)
        status = statusFromErrno(errno);
    return status;
}

LabelSheet::StoreResult LabelSheet::store(const LabelRecord &label, LogFile &log)
{
    StoreResult result;
    result.slot = findFree(1);
    if (!result.slot)
        return result;
    if (const std::optional<ContactResult> refused = refusal(log)) {
        result.contact = *refused;
        result.status = refused->status;
        return result;
    }
    result.status = write(*result.slot, label);
    if (result.status != LogStatus::Ok)
        return result;
    m_states[std::size_t(*result.slot)] = SlotState::Occupied;
    // A label is made from a contact that has no QSL state yet.
    result.contact = updateContactQsl(log, label, kLabelPendingMark, "");
    return result;
}

LabelSheet::RemoveResult LabelSheet::remove(int n, LogFile &log)
{
    RemoveResult result;
    if (n < 1 || n > kLabelCount)
        return result;
    if (m_states[std::size_t(n)] == SlotState::Occupied) {
        if (const std::optional<LabelRecord> label = read(n)) {
            result.contact = updateContactQsl(log, *label, "");
            if (result.contact.update == ContactUpdate::Failed)
                return result;
        } else {
            result.contact.update = ContactUpdate::NoContact;
        }
    }
    result.status = write(n, LabelRecord());
    if (result.status == LogStatus::Ok)
        m_states[std::size_t(n)] = SlotState::Free;
    return result;
}

std::vector<LabelSheet::ConfirmedLabel> LabelSheet::confirmPrinted(LogFile &log,
                                                                   std::string_view date)
{
    std::vector<ConfirmedLabel> results;
    std::vector<LabelRecord> labels;
    for (int n = 1; n <= kLabelCount; ++n) {
        if (m_states[std::size_t(n)] != SlotState::Occupied)
            continue;
        ConfirmedLabel done;
        done.slot = n;
        // A label that cannot be read names nobody: it stands as a free one.
        labels.push_back(read(n).value_or(LabelRecord()));
        done.callSign =
            labels.back().isFree() ? std::string() : labels.back().field(LabelField::CallSign);
        results.push_back(std::move(done));
    }
    // One reading of the log finds every label's contact.
    const std::optional<ContactResult> refused = refusal(log);
    const LabelContacts found =
        refused ? LabelContacts{} : findLabelContacts(log, labels, kLabelPendingMark);
    for (std::size_t i = 0; i < results.size(); ++i) {
        ConfirmedLabel &done = results[i];
        const int n = done.slot;
        if (refused)
            done.contact = *refused;
        else if (found.status != LogStatus::Ok)
            done.contact = failed(found.status);
        else
            done.contact = writeQsl(log, found.recordNos[i], date);
        if (done.contact.update != ContactUpdate::Failed) {
            done.status = write(n, LabelRecord());
            done.freed = done.status == LogStatus::Ok;
            if (done.freed)
                m_states[std::size_t(n)] = SlotState::Free;
        }
    }
    return results;
}

} // namespace ondelog
