#include "parameditor.h"
#include "blockdisplay.h"
#include "paramfields.h"
#include "savecheckwords.h"
#include "spinedit.h"
#include "tuningpage.h"
#include "prompts/prompts.h"
#include "link/unitdata.h"
#include "link/commandexchange.h"
#include "link/linktransport.h"
#include "link/memorycheck.h"
#include "livepage/enterfocus.h"
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

using namespace ParamBlock;
using ParamFields::Kind;
using ParamFields::SpinField;

ParamEditor::ParamEditor(UnitData *data, TuningPage *page, BlockDisplay *display, CommandExchange *commands,
                         MemoryCheck *check, Prompts *prompts, QObject *parent)
    : QObject(parent), m_data(data), m_page(page), m_display(display), m_commands(commands), m_check(check),
      m_prompts(prompts)
{
    for (const SpinField &field : ParamFields::Spins) {
        SpinEdit *spin = page->spinEdit(field.index);
        const SpinField *f = &field;
        // The stops weigh each other: a committed value runs the rule again in full.
        switch (field.kind) {
        case Kind::StopMax:
            connect(spin, &SpinEdit::changed, this, [this, f] { stopMaxEdited(*f); });
            connect(spin, &SpinEdit::committed, this, [this, f] { stopMaxEdited(*f); });
            break;
        case Kind::StopMin:
            connect(spin, &SpinEdit::changed, this, [this, f] { stopMinEdited(*f); });
            connect(spin, &SpinEdit::committed, this, [this, f] { stopMinEdited(*f); });
            break;
        case Kind::Speed: connect(spin, &SpinEdit::changed, this, [this, f] { speedEdited(*f); }); break;
        case Kind::Threshold: break;
        }
        QPushButton *save = page->saveButton(field.index);
        connect(save, &QPushButton::clicked, this, [this, f] { saveOneValue(*f); });
        // Enter only moves on to the control's own "Ulož"; it never saves by itself.
        connect(spin, &SpinEdit::enterPressed, save, [save] { save->setFocus(Qt::OtherFocusReason); });
    }
    connect(page->spinEdit(TpsThreshold1), &SpinEdit::changed, this, &ParamEditor::tpsThreshold1Edited);
    connect(page->spinEdit(TpsThreshold2), &SpinEdit::changed, this, &ParamEditor::tpsThreshold2Edited);
    connect(page->spinEdit(TpsThreshold3), &SpinEdit::changed, this, &ParamEditor::tpsThreshold3Edited);

    for (int i = 0; i < ParamFields::TextCount; ++i) {
        const ParamFields::TextField *f = &ParamFields::Texts[i];
        QLineEdit *edit = page->textEdit(f->index);
        connect(edit, &QLineEdit::textChanged, this, [this, f] { textValueEdited(*f); });
        QWidget *next = i + 1 < ParamFields::TextCount ? static_cast<QWidget *>(page->textEdit(ParamFields::Texts[i + 1].index))
                                                        : static_cast<QWidget *>(page->spinEdit(TpsThreshold1));
        moveFocusOnEnter(edit, next);
    }
}

SpinEdit *ParamEditor::partner(const SpinField &field) const
{
    // MAX and MIN of one range stand next to each other in the block, MAX first.
    return m_page->spinEdit(field.kind == Kind::StopMax ? field.index + 1 : field.index - 1);
}

void ParamEditor::stopMaxEdited(const SpinField &field)
{
    SpinEdit *max = m_page->spinEdit(field.index);
    SpinEdit *min = partner(field);
    // Pushing MAX up one step runs this handler again, nested, until MAX has reached MIN (or its
    // own limit); only the innermost run stores the byte. A number still being typed is not
    // pushed: "1" on the way to "150" would become "60" and then "605".
    if (max->value() < min->value()) {
        if (!max->isTyping())
            max->setValue(max->value() + 1);
    } else
        m_data->set().setParamByte(field.index, quint8(max->value()));
    m_display->markUnversioned();
}

void ParamEditor::stopMinEdited(const SpinField &field)
{
    SpinEdit *min = m_page->spinEdit(field.index);
    SpinEdit *max = partner(field);
    if (max->value() < min->value()) {
        if (!min->isTyping())
            min->setValue(min->value() - 1);
    } else
        m_data->set().setParamByte(field.index, quint8(min->value()));
    m_display->markUnversioned();
}

void ParamEditor::speedEdited(const SpinField &field)
{
    m_data->set().setParamByte(field.index, ParamFields::storedByte(field, m_page->spinEdit(field.index)->value()));
    m_display->markUnversioned();
}

void ParamEditor::tpsThreshold1Edited()
{
    // Moving the first threshold does not make the set another one: it keeps its version.
    m_display->showVersion();
    thresholdChanged(TpsThreshold1);
}

void ParamEditor::tpsThreshold2Edited()
{
    m_display->markUnversioned();
    thresholdChanged(TpsThreshold2);
}

void ParamEditor::tpsThreshold3Edited()
{
    m_display->markUnversioned();
    thresholdChanged(TpsThreshold3);
}

void ParamEditor::thresholdChanged(int index)
{
    m_data->set().setParamByte(index, quint8(m_page->spinEdit(index)->value()));
    m_display->placeThresholdMarks();
    m_display->highlightPowerRange();
    m_display->showTpsLogic();
}

bool ParamEditor::checkByteText(QLineEdit *edit, int &value)
{
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?)(\\d+)\\s*$"));
    const QRegularExpressionMatch m = number.match(edit->text());
    if (!m.hasMatch()) {
        // Setting the text runs the change handler again, nested, which stores the 0.
        edit->setText(QStringLiteral("0"));
        m_prompts->beep();
        return false;
    }
    const bool negative = m.captured(1) == QLatin1String("-");
    // Only the digits count: a long run of them is beyond 255 whatever it says ("0005" is 5).
    QString digits = m.captured(2);
    while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        digits.remove(0, 1);
    const bool beyond = digits.size() > 3 || digits.toInt() > 255;
    if (negative && (beyond || digits.toInt() != 0)) {
        value = 0;
        edit->setText(QStringLiteral("0"));
    } else if (!negative && beyond) {
        value = 255;
        edit->setText(QStringLiteral("255"));
    } else {
        value = digits.toInt();
    }
    return true;
}

void ParamEditor::textValueEdited(const ParamFields::TextField &field)
{
    int value = 0;
    if (!checkByteText(m_page->textEdit(field.index), value))
        return;
    m_display->markUnversioned();
    m_data->set().setParamByte(field.index, quint8(value));
    if (field.index == LambdaThreshold)
        m_display->placeThresholdMarks();
}

void ParamEditor::saveOneValue(const SpinField &field)
{
    // What is typed counts as typed: the rules run on it before it is sent.
    SpinEdit *spin = m_page->spinEdit(field.index);
    spin->commit();
    const quint8 value = ParamFields::storedByte(field, spin->value());
    const quint8 version = m_data->set().paramByte(SetVersion);
    const QList<MemoryCheck::Byte> sent = {{unitAddress(field.index), value}, {unitAddress(SetVersion), version}};
    m_commands->sendChain({{m_commands->writeFrame(sent[0].address, value), 0},
                           {m_commands->writeFrame(sent[1].address, version), VersionWritePauseMs}},
                          [this, sent] { m_check->check(sent, [this](MemoryCheck::Outcome outcome) { tellSaveOutcome(m_check, outcome); }); });
}
