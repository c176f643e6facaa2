#pragma once

#include "pdfpages/PagePictures.h"

#include <QString>
#include <chrono>

namespace quillet::lo {

struct SessionSettings
{
    // Time allowed for any one call, plus perPageAllowance for each page the call works through.
    std::chrono::milliseconds baseDeadline{60000};
    std::chrono::milliseconds perPageAllowance{3000};
    // A fresh office process after this many documents keeps long batches from slowing down.
    int restartAfterDocuments{50};
    // Time allowed for the office to start and answer on its pipe.
    std::chrono::milliseconds startDeadline{120000};
    // The office's program folder (soffice, fundamentalrc, the type libraries).
    QString programDir{QStringLiteral("/usr/lib/libreoffice/program")};
    // The format of page pictures: EMF unless the command line chose another.
    pdfpages::PageStyle pageStyle;
};

} // namespace quillet::lo
