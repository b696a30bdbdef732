# Run by `cmake --install`: records the installation folder as "Location" in
# the settings file of the user who installs, unless the settings already
# name one, so that the designer finds its user guide and pictures. The rest
# of the settings file is kept as it is; a file that is not a settings file
# is left alone with a warning. Expects LUMAVINE_LOCATION.

if(DEFINED ENV{DESTDIR} AND NOT "$ENV{DESTDIR}" STREQUAL "")
  # A staged install (a package being built) is not this user's program.
  return()
endif()

if(NOT "$ENV{LUMAVINE_REGISTRY}" STREQUAL "")
  set(settings "$ENV{LUMAVINE_REGISTRY}")
elseif(NOT "$ENV{XDG_CONFIG_HOME}" STREQUAL "")
  set(settings "$ENV{XDG_CONFIG_HOME}/lumavine/registry.xml")
else()
  set(settings "$ENV{HOME}/.config/lumavine/registry.xml")
endif()

set(location "${LUMAVINE_LOCATION}")
string(REPLACE "&" "&amp;" location "${location}")
string(REPLACE "<" "&lt;" location "${location}")
string(REPLACE ">" "&gt;" location "${location}")
set(value "<Location>${location}</Location>")

if(NOT EXISTS "${settings}")
  set(text "<registry>\n\t<Software>\n\t\t<Lumavine>\n\t\t\t${value}\n\t\t\t<flags>0</flags>\n\t\t</Lumavine>\n\t</Software>\n</registry>\n")
else()
  file(READ "${settings}" text)
  if(text MATCHES "<Lumavine>.*<Location>[^<]+</Location>")
    message(STATUS "Settings ${settings} already name the installation; left as they are")
    return()
  endif()
  # An empty value counts as none.
  string(REGEX REPLACE "<Location */>|<Location></Location>" "" text "${text}")
  if(text MATCHES "<Lumavine>")
    string(REPLACE "<Lumavine>" "<Lumavine>\n\t\t\t${value}" text "${text}")
  elseif(text MATCHES "<Lumavine */>")
    string(REGEX REPLACE "<Lumavine */>" "<Lumavine>${value}</Lumavine>" text "${text}")
  elseif(text MATCHES "<Software>")
    string(REPLACE "<Software>" "<Software>\n\t\t<Lumavine>${value}</Lumavine>" text "${text}")
  elseif(text MATCHES "<Software */>")
    string(REGEX REPLACE "<Software */>" "<Software><Lumavine>${value}</Lumavine></Software>" text "${text}")
  elseif(text MATCHES "<registry>")
    string(REPLACE "<registry>" "<registry>\n\t<Software><Lumavine>${value}</Lumavine></Software>" text "${text}")
  elseif(text MATCHES "<registry */>")
    string(REGEX REPLACE "<registry */>" "<registry><Software><Lumavine>${value}</Lumavine></Software></registry>"
      text "${text}")
  else()
    message(WARNING "${settings} is not a Lumavine settings file; the installation folder was not recorded")
    return()
  endif()
endif()

# Through a temporary file, so that the settings are never half written.
get_filename_component(folder "${settings}" DIRECTORY)
file(MAKE_DIRECTORY "${folder}")
file(WRITE "${settings}.new" "${text}")
file(RENAME "${settings}.new" "${settings}")
message(STATUS "Recorded the installation ${LUMAVINE_LOCATION} in ${settings}")
