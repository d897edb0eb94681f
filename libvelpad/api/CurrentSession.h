#ifndef VELPAD_API_CURRENTSESSION_H
#define VELPAD_API_CURRENTSESSION_H

class DARir;

// The process-wide slot naming the session of the legacy call in progress,
// which Stop(NULL) stops. The slot is guarded: a stop holds it while it asks
// the session to stop, and a legacy call withdraws its session before
// deleting it, so a stop from another thread never reaches a deleted session.
namespace current_session {

// Makes pos the current session (null clears the slot).
void Register(DARir* pos);
// Stops the current session; nothing when there is none.
void Stop();

}  // namespace current_session

#endif
