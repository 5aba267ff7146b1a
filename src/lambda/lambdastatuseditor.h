#pragma once
#include "lambdafields.h"
#include <QObject>

class LambdaPage;
class LiveValuesPage;
class TuningPage;
class UnitData;
class LinkTransport;

// The lambda and TPS status choices. The radio buttons change working copies of the two status
// bytes; only "Ulož" commits them to the block and writes the block to the unit, so a choice not
// saved is dropped by a new block or by the technician picking another page.
class LambdaStatusEditor : public QObject
{
    Q_OBJECT
public:
    LambdaStatusEditor(UnitData *data, LambdaPage *page, TuningPage *tuning, LinkTransport *link,
                       LiveValuesPage *livePage,
                       QObject *parent = nullptr);

    unsigned lambdaStatusDraft = 0;
    unsigned tpsStatusDraft = 0;

    // One handler for all ten radio buttons; the table says what each one chooses.
    void chooseOption(const LambdaFields::Radio &radio);
    // "Ulož": the choices become the block's status bytes and the block goes to the unit.
    void saveStatus();

public slots:
    // Puts the current status bytes and emulation times on the page without that counting as
    // an edit.
    void showChoices();
    // The working copies follow the current bytes again and the page shows them: after a block
    // is taken over and when the technician picks another page.
    void discardDrafts();
    // The technician picked another page: the choices not saved go, and a note on the status
    // labels says so for 2 s.
    void dropDraftsOnPageChange();

private:
    void enableTimes(unsigned lambdaStatus);
    bool draftsPending() const;
    void showPending();
    unsigned &draftOf(const LambdaFields::Radio &radio);

    UnitData *m_data;
    LambdaPage *m_page;
    TuningPage *m_tuning;
    LinkTransport *m_link;
    LiveValuesPage *m_live;
};
