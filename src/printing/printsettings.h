#pragma once

// What the print set-up chose for a run of cards: the preview and the job
// print from the same values.
struct PrintSettings {
    int cardFormat = 0;    // 0 to 3: 住所録, 住所録＋メール, 電話帳, 簡易録
    bool withLines = true; // the card's ruled lines
    bool withInfo = true;  // the entries' text
    int startLine = 1;     // the first card's first line, from 1
};
