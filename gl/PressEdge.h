// The new press of a key or button, from the levels read once per frame.
//
// Conventions: the input state holds levels (true while held); a reader that
// must act once per press keeps the level of its previous frame and sees a
// press only in the frame where the level goes from up to down. Holding
// longer, or a press seen by another reader, changes nothing here.
#pragma once

class PressEdge {
public:
    constexpr explicit PressEdge(bool wasDown = false) : wasDown_(wasDown) {}

    // True only when `down` is held now and was not in the previous call.
    bool Pressed(bool down) {
        const bool pressed = down && !wasDown_;
        wasDown_ = down;
        return pressed;
    }
    bool WasDown() const { return wasDown_; }

private:
    bool wasDown_;
};
