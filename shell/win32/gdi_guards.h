#pragma once
// Small guards that pair every GDI creation with its deletion and every selection with the
// restoring of the previous object.
#include <windows.h>

// Owns a created pen, brush, font or region and deletes it.
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ object) : object_(object) {}
    ~GdiObject()
    {
        if (object_) DeleteObject(object_);
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ get() const { return object_; }

private:
    HGDIOBJ object_;
};

// Selects an object into a device context and puts the previous one back. Declare it after the
// GdiObject it selects, so the object is deselected before it is deleted.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectGuard()
    {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Saves the device context's state (clip region, text alignment, colours) and restores it.
class DcStateGuard {
public:
    explicit DcStateGuard(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~DcStateGuard()
    {
        if (saved_) RestoreDC(dc_, saved_);
    }
    DcStateGuard(const DcStateGuard&) = delete;
    DcStateGuard& operator=(const DcStateGuard&) = delete;

private:
    HDC dc_;
    int saved_;
};
