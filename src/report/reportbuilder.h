#pragma once
#include "reportinput.h"

class QTextDocument;
class UnitData;

// The service report as a document, from the tool's data about the unit, the one names table and
// `input`; no widgets, so a command line can make it as well. Each section says "nenačteno" where
// the tool has nothing to show. Images go into the document as its resources.
void buildReport(QTextDocument &document, const UnitData &data, const ReportInput &input);

// The unit's serial number for file names, or "bez-cisla" before the record was read.
QString reportSerial(const UnitData &data);
// One line that names the report on every page: date, unit.
QString reportFooter(const UnitData &data, const ReportInput &input);
