// GDI+ start-up for one sprite button, as its owner does it before loading
// the button's strip.
#pragma once

class CPngButton;

// Starts GDI+ into the button's token. When the start fails the user is
// told once ("Initialize GDI+ library failed", "Error") and set-up goes
// on; answers whether it started.
bool StartGdiplusForButton(CPngButton& button);
