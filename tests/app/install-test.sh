#!/bin/sh
# Installs the built program into a fresh prefix, as a user would with
# `cmake --install`, and checks what lands there and what the settings learn:
# a first install records the installation folder, a later one keeps a
# folder already recorded, and the rest of a settings file stays as it was.
set -eu
build="$1"
work="$(mktemp -d "${TMPDIR:-/tmp}/lumavine-install-XXXXXX")"
trap 'rm -rf "$work"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

install_into() {
    LUMAVINE_REGISTRY="$2" cmake --install "$build" --prefix "$1" > "$work/install.log" 2>&1 \
        || { cat "$work/install.log" >&2; fail "cmake --install into $1 failed"; }
}

prefix="$work/prefix"
settings="$work/settings/registry.xml"
install_into "$prefix" "$settings"
for file in bin/lumavine share/lumavine/guide/UserGuide.html share/lumavine/images/one.jpg \
    share/lumavine/images/two.jpg share/lumavine/images/page.jpg share/applications/lumavine.desktop \
    share/icons/hicolor/scalable/apps/lumavine.svg; do
    [ -s "$prefix/$file" ] || fail "$file is not installed"
done
"$prefix/bin/lumavine" --version > /dev/null || fail "the installed program does not run"
grep -q "<Location>$prefix/share/lumavine</Location>" "$settings" || fail "Location not recorded: $(cat "$settings")"
grep -q "<flags>0</flags>" "$settings" || fail "flags not written"

# A second installation elsewhere keeps the folder the user has.
install_into "$work/other" "$settings"
grep -q "<Location>$prefix/share/lumavine</Location>" "$settings" || fail "a recorded Location was replaced"

# Settings with other keys and no Location get it, and keep the rest.
cat > "$work/mixed.xml" <<XML
<registry>
	<Software>
		<Other><keep>yes</keep></Other>
		<Lumavine>
			<Location></Location>
			<flags>3</flags>
		</Lumavine>
	</Software>
</registry>
XML
install_into "$prefix" "$work/mixed.xml"
grep -q "<Location>$prefix/share/lumavine</Location>" "$work/mixed.xml" || fail "empty Location not filled"
grep -q "<keep>yes</keep>" "$work/mixed.xml" || fail "another key was lost"
grep -q "<flags>3</flags>" "$work/mixed.xml" || fail "flags were changed"
[ "$(grep -c "<Location" "$work/mixed.xml")" = 1 ] || fail "two Location values"

# A file that is not a settings file is left alone.
echo "not settings" > "$work/broken.xml"
install_into "$prefix" "$work/broken.xml"
[ "$(cat "$work/broken.xml")" = "not settings" ] || fail "a foreign settings file was changed"
echo "install test: passed"
