#include "graphics/graphics_state.h"

namespace vorn {

ClipSaver::ClipSaver(Graphics* port) : mPort(port) {
  if (mPort && mPort->HasClip()) {
    if (const Rect* clip = mPort->GetClipRect()) mClip = new Rect(*clip);
  }
}

ClipSaver::~ClipSaver() {
  if (mPort) mPort->RestoreClip(mClip);
  delete mClip;
}

void GraphicsState::Save(Graphics* port) {
  if (!port) return;
  mPort = port;
  mForeColor = port->ForeColor();
  mOpacity = port->Opacity();
  mFont = port->TextFont();
  mTextSize = port->TextSize();
  mStyle = port->TextStyleBits();
  mPenWidth = port->PenWidth();
  mPenHeight = port->PenHeight();
  mModeValue = port->ModeValue();
  mOriginH = port->OriginH();
  mOriginV = port->OriginV();
  mSaved = true;
}

void GraphicsState::Restore() {
  if (!mPort || !mSaved) return;
  mPort->SetForeColor(mForeColor);
  mPort->SetOrigin(mOriginH, mOriginV);
  mPort->SetModeValue(mModeValue);
  mPort->SetPenSize(mPenWidth, mPenHeight);
  mPort->SetTextFont(mFont);
  mPort->SetTextSize(mTextSize);
  mPort->SetTextStyle(mStyle);
  mPort->SetOpacity(mOpacity);
  mSaved = false;
}

}  // namespace vorn
