// Help > Open Sample Plan.
#include "frm_main.h"

#include "widgets/MessageBox.h"

void Tfrm_main::openSamplePlan()
{
    MessageBox::information(this, QStringLiteral("The sample plan is not installed."));
}
