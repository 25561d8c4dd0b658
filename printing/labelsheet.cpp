#include "printing/labelsheet.h"

#include "logbook/fileio.h"
#include "logbook/regularfile.h"
#include "logbook/safefile.h"
#include "logbook/text.h"

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

// Reads up to `size` bytes at `offset`; fewer at the end of the file.
LogStatus readAt(int fd, std::int64_t offset, char *data, std::size_t size, std::size_t &got)
{
    got = 0;
    while (got < size) {
        const ssize_t r = ::pread(fd, data + got, size - got, offset + std::int64_t(got));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return statusFromErrno(errno);
        }
        if (r == 0)
            break;
        got += std::size_t(r);
    }
    return LogStatus::Ok;
}

std::int64_t recordOffset(int n)
{
    return std::int64_t(n - 1) * std::int64_t(kLabelRecordSize);
}

} // namespace

std::size_t labelFieldWidth(LabelField field)
{
    return layout(field).width;
}

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

ContactResult updateContactQsl(LogFile &log, const LabelRecord &label, std::string_view value)
{
    ContactResult result;
    if (!log.isOpen()) {
        result.update = ContactUpdate::Failed;
        result.status = LogStatus::NotOpen;
        return result;
    }
    const double number = numericValue(label.field(LabelField::QsoNumber));
    const bool whole = std::isfinite(number) && number == std::floor(number);
    if (!whole || number < 1 || number > log.recordCount()) {
        result.update = ContactUpdate::NoContact;
        return result;
    }
    const auto n = static_cast<std::int32_t>(number);
    std::optional<QsoRecord> record = log.readRecord(n);
    if (!record) {
        result.update = ContactUpdate::Failed;
        result.status = log.lastStatus() == LogStatus::Ok ? LogStatus::IoError : log.lastStatus();
        return result;
    }
    if (toUpperCp1252(record->field(Field::CSGN)) !=
        toUpperCp1252(label.field(LabelField::CallSign))) {
        result.update = ContactUpdate::NoContact;
        return result;
    }
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
    result.status = write(*result.slot, label);
    if (result.status != LogStatus::Ok)
        return result;
    m_states[std::size_t(*result.slot)] = SlotState::Occupied;
    result.contact = updateContactQsl(log, label, kLabelPendingMark);
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
    for (int n = 1; n <= kLabelCount; ++n) {
        if (m_states[std::size_t(n)] != SlotState::Occupied)
            continue;
        ConfirmedLabel done;
        done.slot = n;
        const std::optional<LabelRecord> label = read(n);
        if (label) {
            done.callSign = label->field(LabelField::CallSign);
            done.contact = updateContactQsl(log, *label, date);
        } else {
            done.contact.update = ContactUpdate::NoContact;
        }
        if (done.contact.update != ContactUpdate::Failed) {
            done.status = write(n, LabelRecord());
            done.freed = done.status == LogStatus::Ok;
            if (done.freed)
                m_states[std::size_t(n)] = SlotState::Free;
        }
        results.push_back(std::move(done));
    }
    return results;
}

} // namespace ondelog
