// Stand-ins until the user-table transfer is merged; that merge removes this file.
#include "KS_MainForm.h"

void KS_MainForm::DownloadPagerDatabase() {}
void KS_MainForm::UploadPagerDatabase() {}
