#pragma once

#include <QString>

// The scripts that run in a page for the passwords, in the program's own script world (the
// page's scripts can neither see nor replace what they use). Values go in as the script's
// arguments (JSON data), never as part of its text.
namespace PasswordScripts {

// Whether the document, or a frame of its own origin, has a password field: true or false.
// Runs in the page's own world, which costs the page nothing, where the program's world
// would be made in the page for it; a page may lie to it, which keeps only its own
// sign-ins from being kept. Arguments: none.
QString passwordFieldSeen();

// Arms the document (and the frames of its own origin) once: from then on every sign-in the
// user sends is noted, whether by a form's submit, a click on a button of a form holding a
// password, or Enter in a password field, and for fields a script added outside any form
// too. Returns {forms: [...], submitted: [...], filled: bool}: the forms with a password
// field now (values left out), the sign-ins noted since the last call (taken), whether
// a sign-in was filled into this document already, and focus: {x, y, width, height, seq}, the
// field of a sign-in form the user last went into (in CSS pixels of the page's view; seq
// counts the times), or null. Each form is {url, fields: [[name, id,
// type, autocomplete, value], ...]}, within PasswordRules' bounds.
// Arguments: none.
QString look();

// Fills one sign-in into the forms of documents of the given origin. Arguments:
// [origin, userField, passwordField, username, password]. Returns the number of fields set.
QString fill();

} // namespace PasswordScripts
