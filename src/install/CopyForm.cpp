#include "install/CopyForm.h"

#include "forms/CopyLayout.h"

TCopyForm* CopyForm = nullptr;

TCopyForm::TCopyForm()
{
    Build(*this, forms::kCopyLayout);
    MediaPlayer.SetDisplay(Panel.Handle());
}

void TCopyForm::BtCancelClick() { CancelRequested = true; }
void TCopyForm::MediaPlayerNotify() {}
