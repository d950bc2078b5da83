#pragma once

#include "history/ClipKind.h"

#include <QString>

#include <optional>

// What the store needs to remember one new clip. `hash` identifies the
// content: recording a hash the history already holds moves that entry to the
// top instead of adding a second one. Paths name side files the caller has
// already written (rich text, image payload, thumbnail) or the copied file.
struct NewClip {
    QString hash = {};
    ClipKind kind = ClipKind::text;
    std::optional<QString> text = {};
    std::optional<QString> rtfPath = {};
    std::optional<QString> blobPath = {};
    std::optional<QString> filePath = {};
    std::optional<QString> thumbPath = {};
    std::optional<QString> sourceApp = {};
    std::optional<QString> sourceName = {};
    bool downscaled = false;
};
