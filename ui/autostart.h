// Start with Windows: this copy's value under the user's Run key.
#pragma once

// True when the value names this very copy of the program.
bool StartsWithWindows();
// Deletes the value if it names this copy, else writes this copy's path.
void ToggleStartWithWindows();
