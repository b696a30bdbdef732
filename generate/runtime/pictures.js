function show_picture(frame,url,text,hyperlink,target,audio,ratio,aspect)
{
	if (!page_loaded)
	{
		alert('The page is loading, please wait');
		return;
	}
	var	linked = hyperlink != null && hyperlink != '';
	var	link = null;
	var	divId = frame + '-image-div';
	var	imageId = frame + '-image';
	var	captionId = frame + '-caption';
	var	cellId = frame + '-caption-cell';
	if (linked)
	{
		link = document.getElementById(frame + '-image-link');
		if (link == null)
		{
			alert('No pic image link: ' + frame + '-image-link');
			return;
		}
		divId = frame + '-image-link-div';
		imageId = frame + '-link-image';
		captionId = frame + '-link-caption';
		cellId = frame + '-link-caption-cell';
	}
	var	div = document.getElementById(divId);
	if (div == null)
	{
		alert('No div found: ' + divId);
		return;
	}
	var	image = document.getElementById(imageId);
	if (image == null)
	{
		alert('No image found: ' + imageId);
		return;
	}
	var	caption = document.getElementById(captionId);
	if (caption == null)
	{
		alert('No caption found: ' + captionId);
		return;
	}
	var	cell = document.getElementById(cellId);
	if (cell == null)
	{
		alert('No cell found: ' + cellId);
		return;
	}
	if (linked)
	{
		link.href = hyperlink;
		link.target = target != null && target != '' ? target : '_self';
	}
	var	element = document.getElementById(frame);
	if (clears[0])
		clear_frame(frame);
	apply_filter(element,0);
	if (!clears[0])
		clear_frame(frame);

	var	captionHeight = /*@captionHeight@*/10;
	if (text != null && text != '')
	{
		cell.innerHTML = text;
		caption.style.display = 'block';
		caption.style.height = captionHeight + '%';
		image.style.height = (100 - captionHeight) + '%';
	}
	else
	{
		caption.style.display = 'none';
		image.style.height = '100%';
	}
	image.style.width = '100%';
	// A block picture leaves no line gap under it that would push the
	// caption out of the display.
	image.style.display = 'block';

	var	area = frame_area(frame,/*@imageBorderWidth@*/0);
	var	place = ratio_place(area,ratio);
	var	natural = _rectangles[url];
	if ((aspect == true || aspect == 'true') && natural != null && natural.getWidth() > 0 && natural.getHeight() > 0)
	{
		var	fitted = new Rectangle();
		var	width = place.getWidth();
		var	height = place.getHeight();
		if (natural.getWidth() >= natural.getHeight())
		{
			fitted._right = width;
			fitted._bottom = parseInt(width * natural.getHeight() / natural.getWidth());
			if (fitted._bottom > height)
			{
				fitted._bottom = height;
				fitted._right = parseInt(height * natural.getWidth() / natural.getHeight());
			}
		}
		else
		{
			fitted._bottom = height;
			fitted._right = parseInt(height * natural.getWidth() / natural.getHeight());
			if (fitted._right > width)
			{
				fitted._right = width;
				fitted._bottom = parseInt(width * natural.getHeight() / natural.getWidth());
			}
		}
		place = area.center(fitted);
	}
	div.style.left = place._left;
	div.style.top = place._top;
	div.style.width = Math.max(place.getWidth(), 0);
	div.style.height = Math.max(place.getHeight(), 0);
	div.style.display = 'block';
	image.src = url;
	play_filter(element,0);
	if (audio != null && audio != '')
		play_audio(null,audio,null,null,1);
}

var	_rectangles = new Array();

// Preloaded pictures are keyed by their site path, the part of their
// address below the folder of the page; addresses elsewhere fall back to
// the part from "files/" or "custom/" on.
function site_path(src)
{
	var	base = document.location.href;
	var	query = base.search(/[?#]/);
	if (query != -1)
		base = base.substring(0, query);
	base = base.substring(0, base.lastIndexOf('/') + 1);
	if (base != '' && src.indexOf(base) == 0)
		return decodeURI(src.substring(base.length));
	var	index = src.indexOf('files/');
	if (index == -1)
		index = src.indexOf('custom/');
	return index == -1 ? null : decodeURI(src.substring(index));
}

function storeDimension(image)
{
	var	path = site_path(image.src);
	if (path != null)
	{
		var	dimension = new Rectangle();
		dimension._right = image.naturalWidth != null ? image.naturalWidth : image.width;
		dimension._bottom = image.naturalHeight != null ? image.naturalHeight : image.height;
		_rectangles[path] = dimension;
	}
	image.style.display = 'none';
}
