// The installer's exit statuses, modelled on common installers' documented
// codes, so that a silent deployment can tell what happened.
#pragma once

#define EXIT_INSTALLED 0          // installed and made the default screen saver
#define EXIT_CANNOT_START 1       // the installer cannot read its own package, or a name does not fit
#define EXIT_DECLINED 2           // ended before installing: a question or the license declined
#define EXIT_WRITE_FAILED 4       // a write failed during the installation (a full disk)
#define EXIT_ABORTED 5            // aborted by the user during the installation, rolled back
#define EXIT_ACCESS_DENIED 7      // no rights for the uninstall entry; nothing written
#define EXIT_MEDIA_UNSUPPORTED 8  // installed, but media types do not play: not made the default
