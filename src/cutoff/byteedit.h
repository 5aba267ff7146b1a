#pragma once
#include <optional>

class QLineEdit;
class Prompts;

// Reads an edit that holds one unit byte. Above 255 gives 255 and the text "255", below 0 gives
// 0 and the text "0"; a text that is no integer becomes "0" with a beep and gives nothing, so
// the operation that needed the number is abandoned.
std::optional<int> readByteEdit(QLineEdit *edit, Prompts *prompts);
