// Lumenary default preferences
pref("mail.check_new", true);
