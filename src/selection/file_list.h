// Handlers that fill and empty the list of audio files.
#pragma once

namespace quorvel {

void OnAddFiles();
void OnRemoveFile();
void OnClearList();
void OnDrop();
void OnControlEvent();

}  // namespace quorvel
