// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exchange/ui/batch_import_window.h"

namespace verbana::exchange::ui {

// "아래아 한글 파일들 불러넣기": HWP and HWPX files chosen in one folder become
// sermons, their text made by Hwp2txt; another folder empties the list.
class Tfmhwp : public BatchImportWindow {
    Q_OBJECT
public:
    explicit Tfmhwp(store::CollectionDocument &document, QWidget *parent = nullptr);
};

// "TXT, RTF, CAP 파일들 불러넣기": text and rich-text files, chosen from any
// number of folders, become sermons.
class TfmRTF : public BatchImportWindow {
    Q_OBJECT
public:
    explicit TfmRTF(store::CollectionDocument &document, QWidget *parent = nullptr);
};

} // namespace verbana::exchange::ui
