#include "driveinputbuilder.h"
#include "logformat.h"
#include "recordedsets.h"
#include "recording.h"
#include <algorithm>

DriveInputBuilder::DriveInputBuilder(const Recording *recording, std::vector<DriveSet> sets, bool setFromTool)
    : m_recording(recording), m_input(std::make_shared<DriveInput>())
{
    m_input->sets = std::move(sets);
    m_input->setFromTool = setFromTool;
    m_input->gapMs = recording->gapMs();
    m_input->rows.reserve(std::size_t(recording->rows()));
}

bool DriveInputBuilder::step(int rows)
{
    static const QString measuring = QString::fromUtf8(LogFormat::measuring());
    const int end = std::min(m_recording->rows(), m_next + rows);
    for (; m_next < end; ++m_next) {
        const int i = m_next;
        DriveRow row;
        row.ms = qint32(m_recording->ms(i));
        quint8 flags = m_recording->hasValues(i) ? DriveRow::Values : 0;
        const QString status = m_recording->status(i);
        if (!status.isEmpty()) {
            if (status == measuring)
                flags |= DriveRow::Measuring;
            if (const int n = RecordedSets::writtenNumber(status); n > 0) {
                flags |= DriveRow::SetWritten;
                if (n <= int(m_input->sets.size()))
                    m_set = quint8(n - 1);
            }
        }
        row.flags = flags;
        row.lambda = quint8(m_recording->lambda(i));
        row.tps = quint8(m_recording->tps(i));
        row.position = quint8(m_recording->position(i));
        row.set = m_set;
        m_input->rows.push_back(row);
        if ((flags & DriveRow::SetWritten) && m_firstWritten < 0)
            m_firstWritten = int(m_input->rows.size()) - 1;
    }
    if (m_next < m_recording->rows())
        return false;
    startingSet();
    return true;
}

void DriveInputBuilder::startingSet()
{
    // A later part of a long recording starts with the set written last before it: the one
    // before its first write, or the last of all when it has none.
    auto &rows = m_input->rows;
    const int sets = int(m_input->sets.size());
    int before = sets - 1;
    if (m_firstWritten >= 0)
        before = std::max(0, int(rows[std::size_t(m_firstWritten)].set) - 1);
    const std::size_t end = m_firstWritten >= 0 ? std::size_t(m_firstWritten) : rows.size();
    for (std::size_t i = 0; i < end; ++i)
        rows[i].set = quint8(std::max(0, before));
}
