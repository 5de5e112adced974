// TForm1's voice recording side as the pronunciation sees it: stopping the voice replay and the
// state of the replay button.
#include "app/tform1.h"

#include <QToolButton>

void TForm1::stopWavePlayer() { }

void TForm1::updateReplayButton()
{
    SpeedButton2->setEnabled(false);
}

void TForm1::StopVoiceReplay()
{
    stopWavePlayer();
    updateReplayButton();
}
