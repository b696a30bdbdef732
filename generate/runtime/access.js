// The page by keyboard and screen reader. Shapes that act on a click, the entries of menus and
// the frames join the tab order; Enter or Space does what a click does, the
// arrow keys walk a menu's entries and step a frame's slideshow, and Escape
// (keyhandler) closes the menus and brings the focus back to the shape that
// opened them. What the keyboard focuses shows a clear outline. A picture
// shown in a frame is described by its caption. Old browsers without
// addEventListener keep the page as it was.

var	_menuOpener = null;

function keyboard_handlers(element)
{
	var	names = ['onmousedown', 'onmouseup', 'onmouseover'];
	var	found = new Object();
	for (var i = 0; i < names.length; i++)
	{
		var	text = element.getAttribute(names[i]);
		if (text != null && text.replace(/javascript:|hand\(\)|pointer\(\)|;|\s/g, '') != '')
			found[names[i]] = text;
	}
	return found;
}

function keyboard_acts(element)
{
	var	found = keyboard_handlers(element);
	return found['onmousedown'] != null || found['onmouseup'] != null || found['onmouseover'] != null;
}

// The keyboard's stops in a menu: one per entry (a picture column is no stop
// of its own), the entry's cell or, for a mail entry, the link in it; and the
// close cell of a static menu.
function keyboard_menu_cells(div)
{
	var	cells = div.getElementsByTagName('td');
	var	found = new Array();
	for (var i = 0; i < cells.length; i++)
	{
		var	cell = cells[i];
		var	text = cell.textContent != null ? cell.textContent : cell.innerText;
		if (text.replace(/\s/g, '') == '')
			continue;
		var	link = descendant(cell,'a');
		if (link != null)
			found.push(link);
		else if (keyboard_acts(cell))
			found.push(cell);
	}
	return found;
}

function keyboard_fire(element,type)
{
	var	event = document.createEvent('MouseEvents');
	event.initMouseEvent(type, true, true, window, 1, 0, 0, 0, 0, false, false, false, false, 0, null);
	element.dispatchEvent(event);
}

// Does to the element what a click does. A shape whose menu opens when it is
// pointed at opens it, since the click that follows would close it again.
function keyboard_activate(element)
{
	var	menu = keyboard_menu_of(element);
	var	found = keyboard_handlers(element);
	var	over = found['onmouseover'];
	if (over != null && (over.indexOf('show_menu') != -1 || (found['onmousedown'] == null && found['onmouseup'] == null)))
	{
		keyboard_fire(element,'mouseover');
	}
	else
	{
		keyboard_fire(element,'mousedown');
		keyboard_fire(element,'mouseup');
		keyboard_fire(element,'click');
	}
	// An entry that closed its menu gives the focus back to the shape.
	if (menu != null && menu.style.visibility == 'hidden' && _menuOpener != null)
	{
		_menuOpener.focus();
		_menuOpener = null;
	}
	if (element.id == null || element.id == '')
		return;
	var	opened = document.getElementById(element.id + '-menu-div');
	if (opened == null || opened.style.visibility != 'visible')
		return;
	var	cells = keyboard_menu_cells(opened);
	if (cells.length > 0)
	{
		_menuOpener = element;
		cells[0].focus();
	}
}

function keyboard_menu_of(element)
{
	for (var parent = element; parent != null && parent.id != null; parent = parent.parentNode)
	{
		if (parent.id.indexOf('-menu-div') != -1)
			return parent;
	}
	return null;
}

function keyboard_frame_of(element)
{
	if (element.tagName.toLowerCase() != 'div' || element.id == '')
		return null;
	return document.getElementById(element.id + '-iframe') != null ? element : null;
}

function keyboard_key(event)
{
	var	key = event.key;
	var	element = event.target;
	if (element == null || element.tagName == null)
		return;
	if (key == 'Escape' || key == 'Esc')
	{
		// keyhandler() has closed the menus already.
		if (_menuOpener != null && keyboard_menu_of(element) != null)
			_menuOpener.focus();
		_menuOpener = null;
		return;
	}
	var	menu = keyboard_menu_of(element);
	if (menu != null && (key == 'ArrowDown' || key == 'ArrowUp' || key == 'Down' || key == 'Up'))
	{
		var	cells = keyboard_menu_cells(menu);
		for (var i = 0; i < cells.length; i++)
		{
			if (cells[i] != element)
				continue;
			var	step = key == 'ArrowDown' || key == 'Down' ? 1 : cells.length - 1;
			cells[(i + step) % cells.length].focus();
			break;
		}
		event.preventDefault();
		return;
	}
	var	frame = keyboard_frame_of(element);
	if (frame != null && frame._slideshow != null && (key == 'ArrowRight' || key == 'ArrowLeft'))
	{
		if (key == 'ArrowRight')
			next_slide(frame.id);
		else
			prev_slide(frame.id);
		event.preventDefault();
		return;
	}
	if (key != 'Enter' && key != ' ' && key != 'Spacebar')
		return;
	if (element._keyboard !== true)
		return;
	event.preventDefault();
	keyboard_activate(element);
}

function keyboard_stop(element,role,label)
{
	if (element.getAttribute('tabindex') == null)
		element.tabIndex = 0;
	if (role != null && element.getAttribute('role') == null)
		element.setAttribute('role', role);
	if (label != null && label != '' && element.getAttribute('aria-label') == null)
		element.setAttribute('aria-label', label);
	element._keyboard = true;
}

// Browsers draw the focus of an image map's area inconsistently, or not at
// all, so a box drawn over the focused area's bounds shows where it is. It
// sits in the page division, which scales it with the page, and lets the
// pointer through.
// Whether the browser would show the focus: after the keyboard, not after a
// click, so that visitors with a mouse see the page as before.
function keyboard_focus_visible(element)
{
	try
	{
		return element.matches(':focus-visible');
	}
	catch (e)
	{
		return true;
	}
}

function keyboard_area_focus(event)
{
	var	page = document.getElementById('page_div');
	if (page == null)
		return;
	var	box = document.getElementById('keyboard-focus');
	if (box == null)
	{
		box = document.createElement('div');
		box.id = 'keyboard-focus';
		box.style.position = 'absolute';
		box.style.border = '3px solid #1a5fd0';
		box.style.pointerEvents = 'none';
		box.style.zIndex = 9999;
		page.appendChild(box);
	}
	if (event.type == 'blur' || !keyboard_focus_visible(event.target))
	{
		box.style.display = 'none';
		return;
	}
	var	bounds = getBounds(event.target.id);
	box.style.left = bounds._left - 3;
	box.style.top = bounds._top - 3;
	box.style.width = bounds.getWidth();
	box.style.height = bounds.getHeight();
	box.style.display = 'block';
}

function keyboard_focus_style()
{
	var	style = document.createElement('style');
	style.type = 'text/css';
	var	focus = 'area:focus, div:focus, td:focus, a:focus';
	style.appendChild(document.createTextNode(focus + ' { outline: 3px solid #1a5fd0; outline-offset: 1px; }'));
	// Browsers that know which focus to show drop the outline after a click;
	// the others skip this rule and show every focus.
	var	clicked = focus.replace(/:focus/g, ':focus:not(:focus-visible)');
	style.appendChild(document.createTextNode(clicked + ' { outline: none; }'));
	var	head = document.getElementsByTagName('head');
	(head.length > 0 ? head[0] : document.body).appendChild(style);
}

// Keeps the text of a frame's picture with what the picture shows: its
// caption when it has one; a linked picture without caption, which is all
// its link holds, says where the link goes.
function access_picture_text(image,caption,cell,link)
{
	var	text = '';
	if (caption.style.display != 'none')
		text = cell.textContent;
	else if (link != null)
		text = link.getAttribute('href') || '';
	image.setAttribute('alt', text);
}

function access_watch_picture(frame,imageId,captionId,linkId)
{
	var	image = document.getElementById(frame + imageId);
	var	caption = document.getElementById(frame + captionId);
	var	cell = document.getElementById(frame + captionId + '-cell');
	var	link = linkId != null ? document.getElementById(frame + linkId) : null;
	if (image == null || caption == null || cell == null || window.MutationObserver == null)
		return;
	var	observer = new MutationObserver(function() { access_picture_text(image, caption, cell, link); });
	observer.observe(image, { attributes: true, attributeFilter: ['src'] });
}

function keyboard_setup()
{
	var	areas = document.getElementsByTagName('area');
	for (var i = 0; i < areas.length; i++)
	{
		var	area = areas[i];
		// An area with a location is a link, which the keyboard reaches
		// already; one with an action too must run that action as well.
		if (keyboard_acts(area))
			keyboard_stop(area, area.getAttribute('href') == null ? 'button' : null, null);
		area.addEventListener('focus', keyboard_area_focus, false);
		area.addEventListener('blur', keyboard_area_focus, false);
	}
	var	divs = document.getElementsByTagName('div');
	for (var i = 0; i < divs.length; i++)
	{
		var	div = divs[i];
		if (div.id.indexOf('-menu-div') != -1)
		{
			// The table only lays the entries out: a screen reader is told
			// of a menu and its entries, not of rows and cells.
			div.setAttribute('role', 'menu');
			var	parts = div.getElementsByTagName('*');
			for (var j = 0; j < parts.length; j++)
			{
				var	tag = parts[j].tagName.toLowerCase();
				if (tag == 'table' || tag == 'tbody' || tag == 'tr' || tag == 'td')
					parts[j].setAttribute('role', 'none');
			}
			var	cells = keyboard_menu_cells(div);
			for (var j = 0; j < cells.length; j++)
			{
				cells[j].setAttribute('role', 'menuitem');
				if (cells[j].tagName.toLowerCase() == 'td')
					keyboard_stop(cells[j], null, null);
			}
			continue;
		}
		if (keyboard_frame_of(div) != null)
		{
			// A screen reader names a frame, and the page it shows, by the
			// frame's tooltip, or else by its name.
			var	name = div.getAttribute('title');
			if (name == null || name == '')
				name = div.id;
			keyboard_stop(div, 'region', name);
			var	iframe = document.getElementById(div.id + '-iframe');
			if (iframe.getAttribute('title') == null)
				iframe.setAttribute('title', name);
			access_watch_picture(div.id, '-image', '-caption', null);
			access_watch_picture(div.id, '-link-image', '-link-caption', '-image-link');
			continue;
		}
		// Shapes built of elements on pages without picture.
		if (div.parentNode != null && div.parentNode.id == 'page_div' && keyboard_acts(div))
			keyboard_stop(div, 'button', null);
	}
	keyboard_focus_style();
	document.addEventListener('keydown', keyboard_key, false);
}

if (window.addEventListener && document.createEvent)
	window.addEventListener('DOMContentLoaded', keyboard_setup, false);
