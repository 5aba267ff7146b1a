#include "driveinputbuilder.h"
#include "logformat.h"
#include "recordedsets.h"
#include "recording.h"
#include <algorithm>

DriveInputBuilder::DriveInputBuilder(const Recording *recording, std::vector<DriveSet> sets, bool setFromTool, int startSet)
    : m_recording(recording), m_input(std::make_shared<DriveInput>()),
      m_set(quint8(std::clamp(startSet, 0, std::max(0, int(sets.size()) - 1))))
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
    }
    return m_next >= m_recording->rows();
}

std::unique_ptr<DriveInputBuilder> DriveInputBuilder::forFile(const Recording *recording, const QString &csvPath,
                                                              const ParameterSet &toolSet, std::vector<ParameterSet> *kept)
{
    std::vector<ParameterSet> sets = RecordedSets::load(csvPath);
    std::vector<DriveSet> driveSets;
    for (const ParameterSet &set : sets)
        driveSets.push_back(DriveSet::fromBlock(set.block()));
    const bool fromTool = driveSets.empty();
    if (fromTool && !toolSet.isEmpty())
        driveSets.push_back(DriveSet::fromBlock(toolSet.block()));
    const int startSet = fromTool ? 0 : RecordedSets::inForceAtStart(csvPath) - 1;
    if (kept)
        *kept = std::move(sets);
    return std::make_unique<DriveInputBuilder>(recording, std::move(driveSets), fromTool, startSet);
}
