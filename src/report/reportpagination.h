#pragma once

class QTextDocument;

// A table no taller than a page never runs over a page break: the document's layout would cut a
// row with its border at the break. Such a table starts on the next page instead, with the
// heading just above it. The document must be laid out for its pages already (page size set).
void keepTablesWhole(QTextDocument &document);
