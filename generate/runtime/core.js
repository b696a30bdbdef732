// The functions that the actions of shapes and menu entries call, and the
// objects they share. Pages written by the designer carry this text inside
// their one script element, with the page's own values put in at the marked
// places: a line holding only "//" and "@" before a name takes a block of
// lines, and a comment made of "/*", "@", a name, "@" and "*/" replaces the
// number that follows it.
//
// Generated pages have no doctype, so browsers read them in quirks mode,
// where a unitless number assigned to a style length counts as pixels.

var	_menu = null;
var	_players = new Array();
var	_playerInterval = null;

function check_players()
{
	var	busy = 0;
	for (var i = 0; i < _players.length; i++)
	{
		var	player = _players[i];
		if (player == null || player.style.visibility == 'hidden')
			continue;
		if (player.playState == 1)
		{
			if (player._frame != null)
				clear_frame(player._frame);
			continue;
		}
		busy++;
	}
	if (busy == 0 && _playerInterval != null)
	{
		clearInterval(_playerInterval);
		_playerInterval = null;
	}
}

var	transitions = new Array();
var	durations = new Array();
var	clears = new Array();
//@transitions

function filter_handler()
{
	var	container = this;
	if (container._player != null)
	{
		container._player.url = container._url;
		media_play(container._player);
	}
	container._player = null;
	container._url = null;
}

// The visual filters of the browser the pages were first written for; other
// browsers have none, and show the change at once.
function has_filter(element,index)
{
	return ie && element != null && transitions[index] != null && transitions[index] != '';
}

function apply_filter(element,index)
{
	if (!has_filter(element,index) || element.filters == null)
	{
		// Other browsers play the transition of effects.js instead.
		effect_apply(element,index);
		return false;
	}
	try
	{
		element.style.filter = transitions[index];
		element.filters[0].apply();
		return true;
	}
	catch (e)
	{
		return false;
	}
}

function play_filter(element,index)
{
	if (!has_filter(element,index))
		return false;
	try
	{
		element.filters[0].play(durations[index]);
		return true;
	}
	catch (e)
	{
		return false;
	}
}

function Point(x,y)
{
	this._x = x;
	this._y = y;
}

function Rectangle()
{
	this._left = 0;
	this._top = 0;
	this._right = 0;
	this._bottom = 0;
	this.getWidth = Rectangle_getWidth;
	this.getHeight = Rectangle_getHeight;
	this.getCenter = Rectangle_getCenter;
	this.center = Rectangle_center;
	this.offset = Rectangle_offset;
	this.copy = Rectangle_copy;
	this.scale = Rectangle_scale;
}

function Rectangle_getWidth()
{
	return this._right - this._left;
}

function Rectangle_getHeight()
{
	return this._bottom - this._top;
}

function Rectangle_getCenter()
{
	return new Point(this._left + this.getWidth() / 2, this._top + this.getHeight() / 2);
}

function Rectangle_center(r)
{
	var	center = this.getCenter();
	var	result = new Rectangle();
	result._left = parseInt(center._x - r.getWidth() / 2);
	result._top = parseInt(center._y - r.getHeight() / 2);
	result._right = parseInt(center._x - r.getWidth() / 2 + r.getWidth());
	result._bottom = parseInt(center._y - r.getHeight() / 2 + r.getHeight());
	return result;
}

function Rectangle_offset(x,y)
{
	this._left -= x;
	this._right -= x;
	this._top -= y;
	this._bottom -= y;
}

function Rectangle_copy()
{
	var	result = new Rectangle();
	result._left = this._left;
	result._top = this._top;
	result._right = this._right;
	result._bottom = this._bottom;
	return result;
}

function Rectangle_scale(ratio)
{
	this._left *= ratio;
	this._top *= ratio;
	this._right *= ratio;
	this._bottom *= ratio;
}

function hand()
{
	document.body.style.cursor = 'pointer';
}

function pointer()
{
	document.body.style.cursor = 'auto';
}

// The visible part of the window. In quirks mode the body reports the
// window's scroll offsets and client size; in standards mode the root
// element does.
function view_element()
{
	if (document.compatMode == 'CSS1Compat' && document.documentElement != null)
		return document.documentElement;
	return document.body;
}

function trademark()
{
	var	tm = document.getElementById('tm');
	if (tm == null || document.body == null)
		return;
	var	view = view_element();
	var	scrollLeft = window.pageXOffset != null ? window.pageXOffset : view.scrollLeft;
	var	scrollTop = window.pageYOffset != null ? window.pageYOffset : view.scrollTop;
	var	width = tm.offsetWidth;
	tm.style.left = scrollLeft + view.clientWidth - width;
	tm.style.top = scrollTop + view.clientHeight - tm.offsetHeight;
	tm.style.width = width;
}

function clicked()
{
	if (_menu != null)
		_menu._clicks++;
	clear_menus(false);
}

function getBounds(id)
{
	var	bounds = new Rectangle();
	var	page = document.getElementById('page_div');
	var	element = document.getElementById(id);
	if (page == null || element == null)
		return bounds;
	if (element.tagName.toLowerCase() == 'area')
	{
		var	coords = element.coords.split(',');
		// A circle's coordinates are its centre and radius, not points.
		if (element.shape.toLowerCase() == 'circle' && coords.length >= 3)
		{
			var	cx = parseInt(coords[0]);
			var	cy = parseInt(coords[1]);
			var	r = parseInt(coords[2]);
			bounds._left = cx - r;
			bounds._top = cy - r;
			bounds._right = cx + r;
			bounds._bottom = cy + r;
			return bounds;
		}
		for (var i = 0; i + 1 < coords.length; i += 2)
		{
			var	x = parseInt(coords[i]);
			var	y = parseInt(coords[i + 1]);
			if (bounds._left == 0 || x < bounds._left)
				bounds._left = x;
			if (bounds._top == 0 || y < bounds._top)
				bounds._top = y;
			if (x > bounds._right)
				bounds._right = x;
			if (y > bounds._bottom)
				bounds._bottom = y;
		}
		return bounds;
	}
	bounds._left = parseInt(element.style.left);
	bounds._top = parseInt(element.style.top);
	if (isNaN(bounds._left))
		bounds._left = element.offsetLeft;
	if (isNaN(bounds._top))
		bounds._top = element.offsetTop;
	bounds._right = bounds._left + element.offsetWidth;
	bounds._bottom = bounds._top + element.offsetHeight;
	return bounds;
}

// The part of a frame its content may take: the frame less the border the
// content draws around itself, which the old browser draws inside the
// content's own box.
function frame_area(frame,border)
{
	var	bounds = getBounds(frame);
	var	area = new Rectangle();
	area._right = bounds.getWidth();
	area._bottom = bounds.getHeight();
	if (!ie)
	{
		area._right -= 2 * border;
		area._bottom -= 2 * border;
	}
	return area;
}

// Content taking ratio percent of the area, centred in it.
function ratio_place(area,ratio)
{
	if (ratio == null || ratio <= 0)
		ratio = 100;
	var	size = area.copy();
	size.scale(ratio / 100);
	return area.center(size);
}

function scrollhandler()
{
	trademark();
}

function clear_frame(frame)
{
	var	element = document.getElementById(frame);
	if (element != null && element._slideshow != null)
		element._slideshow.destroy();
	var	iframe = document.getElementById(frame + '-iframe');
	if (iframe != null)
	{
		iframe.style.display = 'none';
		if (iframe.src != '' && iframe.src != 'about:blank')
			iframe.src = 'about:blank';
	}
	var	videoDiv = document.getElementById(frame + '-video-div');
	if (videoDiv != null)
		videoDiv.style.visibility = 'hidden';
	var	player = document.getElementById(frame + '-video');
	if (player != null)
	{
		media_stop(player);
		player.style.visibility = 'hidden';
	}
	var	linkDiv = document.getElementById(frame + '-image-link-div');
	if (linkDiv != null)
		linkDiv.style.display = 'none';
	var	imageDiv = document.getElementById(frame + '-image-div');
	if (imageDiv != null)
		imageDiv.style.display = 'none';
	clear_menus(false);
}

function show_page(frame,url,audio,ratio)
{
	if (frame == '_self' || frame == '_blank')
	{
		if (audio != null && audio != '')
			play_audio(null,audio,null,null,1);
		if (frame == '_self')
			window.location.href = url;
		else
			window.open(url);
		return;
	}
	var	element = document.getElementById(frame);
	var	iframe = document.getElementById(frame + '-iframe');
	if (clears[1])
		clear_frame(frame);
	var	filtered = apply_filter(element,1);
	if (!clears[1])
		clear_frame(frame);
	if (iframe != null)
	{
		if (ratio == null || ratio <= 0)
			ratio = 100;
		var	bounds = getBounds(frame);
		var	area = new Rectangle();
		area._right = bounds.getWidth();
		area._bottom = bounds.getHeight();
		var	size = area.copy();
		size.scale(ratio / 100);
		var	place = area.center(size);
		var	frameBorder = /*@frameBorderWidth@*/0;
		place._right -= 2 * frameBorder;
		place._bottom -= 2 * frameBorder;
		iframe.style.left = place._left;
		iframe.style.top = place._top;
		iframe.style.width = Math.max(place.getWidth(), 0);
		iframe.style.height = Math.max(place.getHeight(), 0);
		iframe._filtered = filtered;
		iframe.style.display = 'block';
		iframe.src = url;
	}
	else
	{
		window.open(url);
	}
	if (audio != null && audio != '')
		play_audio(null,audio,null,null,1);
	clear_menus(false);
}

// Mail actions of mouse-down events and menu entries are written as mailto
// links; every other place runs the action itself. The subject is encoded,
// so that an "&" in it does not start another header of the mail.
function mail(address,subject)
{
	var	url = 'mailto:' + (address != null ? address : '');
	if (subject != null && subject != '')
		url += '?subject=' + encodeURIComponent(subject);
	window.location.href = url;
}

function frame_loaded(frame)
{
	if (!ie || frame == null || !frame._filtered)
		return;
	frame._filtered = false;
	play_filter(frame.parentNode,1);
}

function keyhandler(event)
{
	if (event == null)
		event = window.event;
	var	key = event.which ? event.which : event.keyCode;
	if (key == 27)
		clear_menus(true);
}

function descendant(element,tag)
{
	if (element == null)
		return null;
	var	found = element.getElementsByTagName(tag);
	return found.length > 0 ? found[0] : null;
}
