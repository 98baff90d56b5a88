// The decision whether strokes may go to the window in front, asked cheaply stroke by stroke.
#include "keys/TargetWatch.h"

TargetWatch::Look TargetWatch::Check() {
    const Desktop::Window front = desktop_.Front();
    const bool changed = !looked_ || front != front_;
    if (changed) {
        looked_ = true;
        front_ = front;
        ownerWait_ = WaitForOwner(front);
    }
    if (ownerWait_ != TargetWait::None) return {ownerWait_, changed};
    // Asked at every look: the user may press a key at any moment.
    return {desktop_.ModifierHeld() ? TargetWait::ModifierHeld : TargetWait::None, changed};
}

TargetWait TargetWatch::WaitForOwner(Desktop::Window front) {
    if (front == Desktop::NoWindow) return TargetWait::NoWindow;
    const Desktop::Owner owner = desktop_.OwnerOf(front);
    if (owner.thisProcess) return TargetWait::OwnWindow;
    // A process that cannot be asked is taken as one that may drop the keys: they wait, and
    // the icon says why, rather than vanish without a trace.
    if (!owner.integrityLevel) return TargetWait::Unknown;
    if (!ownLevel_) ownLevel_ = desktop_.OwnIntegrityLevel();
    return *owner.integrityLevel > *ownLevel_ ? TargetWait::Elevated : TargetWait::None;
}
