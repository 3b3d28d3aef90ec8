# The program's version, in one place: the About window and picreel-make --version show it
# as MAJOR.MINOR followed by PATCH (1.0.4 reads "1.04").
set(PICREEL_VERSION 1.0.4)
