#pragma once
#include "previousvisitsection.h"
#include "datalog/fileanalysis.h"
#include "vehicledetails.h"
#include "workshop.h"
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>

// Everything a report needs beyond the tool's data about the unit.
struct ReportInput
{
    Workshop workshop;
    QDateTime madeAt;
    QString toolVersion;
    // The names TESTER.INI gives the configuration versions.
    QStringList versionNames;
    // The unit's set before this session's writes and the name of the backup it came from; empty
    // when no such set is known.
    ParameterSet setBefore;
    QString setBeforeName;
    // The tool's set is the unit's (read from it or written to it), not another unit's.
    bool blockOfThisUnit = true;
    bool withPictures = false;
    QImage scopePicture;   // the last oscilloscope recording; null when there is none
    QImage recordingPlot;  // the last live-value recording; null when there is none
    QString notes;
    VehicleDetails vehicle;
    bool withAppendix = true;  // the technical appendix at the end
    // The analysis of the session's last recording, when asked for; its section says why it is
    // missing when the file could not be read.
    bool withAnalysis = false;
    RecordingAnalysis analysis;
    // From the unit history; its section is left out when no earlier visit is known.
    PreviousVisit previous;
};
